#pragma once

#include <QLabel>

// A label that works as a link: underlined, red while the mouse is over it, and a click on it
// emits Clicked.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);
    bool IsHot() const { return FHot; }

signals:
    void Clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetHot(bool hot);

    bool FHot = false;
    bool FPressed = false;
};
