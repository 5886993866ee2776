// The detail dialog: one list under a title, on one of four notebook pages
// the caller picks (a text box, a check list, a plain list, or a
// variable/value list). The caller fills the page, shows the dialog
// modally and destroys it.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>

#include <string>

namespace torvex::overview {

// Makes the check boxes of a list read-only: a click on an item puts its
// check state back (the handler clbClickCheck of the windows).
void MakeCheckListReadOnly(QListWidget* list);
// Adds an item to a read-only check list with its check state.
QListWidgetItem* AddCheckItem(QListWidget* list, const QString& text, bool checked);

class TdlgZarvo_Detail : public QDialog {
    Q_OBJECT
public:
    // The notebook's pages.
    enum { pgMemo = 0, pgCheckBox = 1, pgListbox = 2, pgListView = 3 };

    explicit TdlgZarvo_Detail(QWidget* owner = nullptr);

    void SetPage(int index);
    int Page() const;
    // The title panel's caption.
    void SetTitle(const QString& title);
    QString Title() const;

    QPlainTextEdit* memo() const { return FMemo; }
    QListWidget* clb() const { return FCheckList; }
    QListWidget* lb() const { return FList; }
    QTreeWidget* lv() const { return FListView; }
    QPushButton* bOK() const { return FOK; }

    // A row of the variable/value list.
    void AddRow(const QString& variable, const QString& value);

private:
    QLabel* FTitle = nullptr;
    QStackedWidget* FNotebook = nullptr;
    QPlainTextEdit* FMemo = nullptr;
    QListWidget* FCheckList = nullptr;
    QListWidget* FList = nullptr;
    QTreeWidget* FListView = nullptr;
    QPushButton* FOK = nullptr;
};

}  // namespace torvex::overview
