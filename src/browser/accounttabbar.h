#pragma once

#include <QTabBar>

// The account tab strip: tabs in a column along its right edge, all of one length that the layout sets.
class AccountTabBar : public QTabBar
{
    Q_OBJECT
public:
    explicit AccountTabBar(QWidget *parent = nullptr);

    // Length of every tab along the column, in pixels; 0 leaves it to the style.
    void setFixedTabLength(int pixels);
    int fixedTabLength() const { return m_length; }
    // How far the tabs reach across the column, in pixels.
    int tabThickness() const;

protected:
    QSize tabSizeHint(int index) const override;

private:
    int m_length = 0;
};
