// A hyperlink label: a label whose click opens an address with the
// desktop's default handler, through the shell of the Win32-shaped layer.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

namespace torvex::app {

class TQuentaSysURLLabel : public QLabel {
    Q_OBJECT
public:
    explicit TQuentaSysURLLabel(QWidget* parent = nullptr);

    // The address to open; when blank the caption is used.
    QString Jump() const { return jump_; }
    void SetJump(const QString& jump) { jump_ = jump; }

    QColor ActiveColor() const { return activeColor_; }
    void SetActiveColor(const QColor& color) { activeColor_ = color; }
    QColor InActiveColor() const { return inActiveColor_; }
    void SetInActiveColor(const QColor& color) { inActiveColor_ = color; }

    bool JumpUnderline() const { return jumpUnderline_; }
    void SetJumpUnderline(bool underline);

    // The colour the text is drawn in now.
    QColor TextColor() const;

    // The address a click opens: a blank Jump means the caption, and a
    // caption with an at sign is a mail address.
    QString Address() const;

    // The click: opens Address(); a failure to open disables the label.
    void Click();
    // The jump the owner makes from code: active colour, then the click. It
    // runs even when the label is disabled.
    void DoJump();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetTextColor(const QColor& color);

    QString jump_;
    QColor activeColor_{128, 0, 128};
    QColor inActiveColor_{0, 0, 255};
    bool jumpUnderline_ = true;
};

}  // namespace torvex::app
