#include "overview/Zarvo_DetailDlg.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace torvex::overview {

namespace {
constexpr int kWidth = 439;
constexpr int kHeight = 309;
// The check state the list's owner gave an item; a click is measured
// against it.
constexpr int kCheckedRole = Qt::UserRole + 77;
}  // namespace

void MakeCheckListReadOnly(QListWidget* list) {
    QObject::connect(list, &QListWidget::itemChanged, list, [](QListWidgetItem* item) {
        QVariant given = item->data(kCheckedRole);
        if (!given.isValid()) return;
        auto state = Qt::CheckState(given.toInt());
        // clbClickCheck: the click is undone.
        if (item->checkState() != state) item->setCheckState(state);
    });
}

QListWidgetItem* AddCheckItem(QListWidget* list, const QString& text, bool checked) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    Qt::CheckState state = checked ? Qt::Checked : Qt::Unchecked;
    item->setCheckState(state);
    item->setData(kCheckedRole, int(state));
    list->addItem(item);
    return item;
}

TdlgZarvo_Detail::TdlgZarvo_Detail(QWidget* owner) : QDialog(owner) {
    setObjectName("dlgZarvo_Detail");
    setWindowTitle("Detail Information");
    setFixedSize(kWidth, kHeight);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    // The white title panel with a picture at each end.
    auto* panel = new QWidget;
    panel->setObjectName("pTitle");
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);
    panel->setFixedHeight(40);
    auto* titleRow = new QHBoxLayout(panel);
    titleRow->setContentsMargins(6, 2, 6, 2);
    auto picture = [this] {
        auto* label = new QLabel;
        label->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
        return label;
    };
    titleRow->addWidget(picture());
    FTitle = new QLabel;
    FTitle->setObjectName("lTitle");
    FTitle->setAlignment(Qt::AlignCenter);
    QFont bold = FTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    FTitle->setFont(bold);
    titleRow->addWidget(FTitle, 1);
    titleRow->addWidget(picture());
    layout->addWidget(panel);

    FNotebook = new QStackedWidget;
    FNotebook->setObjectName("Notebook");
    FMemo = new QPlainTextEdit;
    FMemo->setObjectName("Memo");
    FMemo->setReadOnly(true);
    FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    FCheckList = new QListWidget;
    FCheckList->setObjectName("clb");
    MakeCheckListReadOnly(FCheckList);
    FList = new QListWidget;
    FList->setObjectName("lb");
    FListView = new QTreeWidget;
    FListView->setObjectName("lv");
    FListView->setHeaderLabels({"Variable", "Value"});
    FListView->setRootIsDecorated(false);
    FListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FListView->header()->resizeSection(0, 140);
    FNotebook->addWidget(FMemo);
    FNotebook->addWidget(FCheckList);
    FNotebook->addWidget(FList);
    FNotebook->addWidget(FListView);
    layout->addWidget(FNotebook, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    FOK = new QPushButton("OK");
    FOK->setObjectName("bOK");
    FOK->setDefault(true);
    connect(FOK, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(FOK);
    layout->addLayout(buttons);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
}

void TdlgZarvo_Detail::SetPage(int index) { FNotebook->setCurrentIndex(index); }
int TdlgZarvo_Detail::Page() const { return FNotebook->currentIndex(); }
void TdlgZarvo_Detail::SetTitle(const QString& title) { FTitle->setText(title); }
QString TdlgZarvo_Detail::Title() const { return FTitle->text(); }

void TdlgZarvo_Detail::AddRow(const QString& variable, const QString& value) {
    new QTreeWidgetItem(FListView, {variable, value});
}

}  // namespace torvex::overview
