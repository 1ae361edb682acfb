#include "accounttabbar.h"

AccountTabBar::AccountTabBar(QWidget *parent) : QTabBar(parent)
{
    setShape(QTabBar::RoundedEast);
    setDrawBase(false);
    setUsesScrollButtons(false);
    setExpanding(false);
}

void AccountTabBar::setFixedTabLength(int pixels)
{
    if (pixels == m_length || pixels < 0)
        return;
    m_length = pixels;
    updateGeometry();
    // Tabs only re-measure when their texts change or the bar is shown anew.
    for (int i = 0; i < count(); ++i)
        setTabText(i, tabText(i));
}

int AccountTabBar::tabThickness() const
{
    return count() > 0 ? QTabBar::tabSizeHint(0).width() : 0;
}

QSize AccountTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (m_length > 0)
        size.setHeight(m_length);
    return size;
}
