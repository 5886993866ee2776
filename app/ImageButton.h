// The image buttons of the summary window and the graphic lists they are
// drawn from.
//
// A button has no text of its own: its caption is painted into its two
// bitmaps (released and held down), which is why each language edition
// carries its own list of faces. The caption is still given to the button
// as its accessible name, so a screen reader can announce it.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QString>
#include <QVector>

namespace torvex::app {

// An ordered list of named pictures; buttons refer to entries by index.
class TGraphicList {
public:
    struct Entry {
        QString name;
        QPixmap picture;
    };

    void Add(const QString& name, const QPixmap& picture) { entries_.push_back({name, picture}); }
    int Count() const { return static_cast<int>(entries_.size()); }
    const Entry& At(int index) const { return entries_.at(index); }
    // A null pixmap for an index outside the list.
    QPixmap Picture(int index) const;
    int IndexOf(const QString& name) const;

private:
    QVector<Entry> entries_;
};

// A two-state image button. With GroupIndex 0 it is a plain push button;
// with a non-zero GroupIndex a click toggles Pressed before the click is
// raised. Buttons sharing a non-zero GroupIndex under the same parent act as
// one group: pressing one releases the others. AllowAllUp lets a click
// release a pressed button of a group. Setting Pressed from code never raises
// the click.
class TImageButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TImageButton(QWidget* parent = nullptr);

    // The faces: entry `upIndex` when released, `upIndex + 1` when held down
    // or pressed.
    void SetFaces(const TGraphicList* list, int upIndex);
    const TGraphicList* Faces() const { return faces_; }
    int UpIndex() const { return upIndex_; }

    bool Pressed() const { return groupIndex_ != 0 && isChecked(); }
    void SetPressed(bool pressed);

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int groupIndex);

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow) { allowAllUp_ = allow; }

    // The caption painted on the faces: the accessible name and tool tip.
    void SetCaption(const QString& caption);

    QSize sizeHint() const override;

signals:
    // Raised by a click of the user (mouse or keyboard), after the toggle.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;

private:
    void ReleaseGroupSiblings();

    const TGraphicList* faces_ = nullptr;
    int upIndex_ = 0;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool settingFromCode_ = false;
};

}  // namespace torvex::app
