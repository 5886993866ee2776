#include "app/QuentaSysURLLabel.h"

#include <QMouseEvent>

#include <cstdint>

#include "platform/win32/Win32.h"

namespace torvex::app {

TQuentaSysURLLabel::TQuentaSysURLLabel(QWidget* parent) : QLabel(parent) {
    SetTextColor(inActiveColor_);
    SetJumpUnderline(true);
    setCursor(Qt::PointingHandCursor);
}

void TQuentaSysURLLabel::SetJumpUnderline(bool underline) {
    jumpUnderline_ = underline;
    QFont f = font();
    f.setUnderline(underline);
    setFont(f);
}

void TQuentaSysURLLabel::SetTextColor(const QColor& color) {
    // Only the active and inactive groups: a disabled label keeps the
    // toolkit's greyed colour.
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::WindowText, color);
    p.setColor(QPalette::Inactive, QPalette::WindowText, color);
    setPalette(p);
}

QColor TQuentaSysURLLabel::TextColor() const {
    return palette().color(QPalette::Active, QPalette::WindowText);
}

QString TQuentaSysURLLabel::Address() const {
    if (!jump_.trimmed().isEmpty()) return jump_;
    if (text().contains(QLatin1Char('@'))) return QStringLiteral("mailto:") + text();
    return text();
}

void TQuentaSysURLLabel::Click() {
    const QByteArray address = Address().toUtf8();
    const win32::HINSTANCE result = win32::ShellExecuteA(nullptr, nullptr, address.constData(),
                                                         nullptr, nullptr, win32::SW_SHOWNORMAL);
    if (reinterpret_cast<std::uintptr_t>(result) <= 32) setEnabled(false);
}

void TQuentaSysURLLabel::DoJump() {
    SetTextColor(activeColor_);
    Click();
}

void TQuentaSysURLLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SetTextColor(activeColor_);
    QLabel::mousePressEvent(event);
}

void TQuentaSysURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        SetTextColor(inActiveColor_);
        if (rect().contains(event->position().toPoint())) Click();
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace torvex::app
