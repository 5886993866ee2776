#include "app/ImageButton.h"

#include <QPainter>

namespace torvex::app {

QPixmap TGraphicList::Picture(int index) const {
    if (index < 0 || index >= Count()) return {};
    return entries_.at(index).picture;
}

int TGraphicList::IndexOf(const QString& name) const {
    for (int i = 0; i < Count(); ++i)
        if (entries_.at(i).name == name) return i;
    return -1;
}

TImageButton::TImageButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    // QAbstractButton raises clicked() only for the user's own clicks (and
    // click()), never for setChecked(); that is exactly the Click event.
    connect(this, &QAbstractButton::clicked, this, [this] { emit Click(); });
}

void TImageButton::SetFaces(const TGraphicList* list, int upIndex) {
    faces_ = list;
    upIndex_ = upIndex;
    update();
}

void TImageButton::SetPressed(bool pressed) {
    if (groupIndex_ == 0) return;   // a plain button has no lasting state
    if (pressed == isChecked()) return;
    setChecked(pressed);
    if (pressed) ReleaseGroupSiblings();
    update();
}

void TImageButton::SetGroupIndex(int groupIndex) {
    groupIndex_ = groupIndex;
    setCheckable(groupIndex != 0);
    if (groupIndex == 0) setChecked(false);
}

void TImageButton::SetCaption(const QString& caption) {
    setAccessibleName(caption);
    setToolTip(caption);
    // The text is not painted (the face holds it) but gives keyboard users
    // and assistive tools the same name.
    setText(caption);
}

QSize TImageButton::sizeHint() const {
    const QPixmap face = faces_ ? faces_->Picture(upIndex_) : QPixmap();
    return face.isNull() ? QSize(91, 26) : face.size();
}

void TImageButton::nextCheckState() {
    if (groupIndex_ == 0) return;
    if (isChecked()) {
        if (allowAllUp_) setChecked(false);
        return;
    }
    setChecked(true);
    ReleaseGroupSiblings();
}

void TImageButton::ReleaseGroupSiblings() {
    if (!parentWidget()) return;
    for (auto* sibling : parentWidget()->findChildren<TImageButton*>(Qt::FindDirectChildrenOnly))
        if (sibling != this && sibling->groupIndex_ == groupIndex_ && sibling->isChecked()) {
            sibling->setChecked(false);
            sibling->update();
        }
}

void TImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool down = isDown() || Pressed();
    QPixmap face = faces_ ? faces_->Picture(upIndex_ + (down ? 1 : 0)) : QPixmap();
    if (!isEnabled()) painter.setOpacity(0.55);
    if (!face.isNull()) {
        painter.drawPixmap(0, 0, face);
    } else {
        // No face list assigned: a plain bevelled button with the caption, so
        // the control stays usable.
        painter.fillRect(rect(), palette().button());
        painter.setPen(palette().buttonText().color());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
    painter.setOpacity(1.0);
    if (hasFocus()) {
        // A dotted frame inside the face, light enough to show on the dark
        // steel of every face.
        QPen pen(QColor(255, 255, 255, 210));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

}  // namespace torvex::app
