#include "accounttabbar.h"

#include <QResizeEvent>

namespace {

// Left free below the last tab, as the page's frame is below the page.
constexpr int kBottomMargin = 8;

} // namespace

AccountTabBar::AccountTabBar(QWidget *parent) : QTabBar(parent)
{
    setShape(QTabBar::RoundedEast);
    setDrawBase(false);
    setUsesScrollButtons(false);
    setExpanding(false);
    // The column takes the height it is given; its tabs follow.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
}

QSize AccountTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (m_length > 0)
        size.setHeight(m_length);
    return size;
}

void AccountTabBar::resizeEvent(QResizeEvent *event)
{
    const int length = count() > 0 ? qMax(0, (event->size().height() - kBottomMargin) / count()) : 0;
    if (length != m_length) {
        m_length = length;
        // Tabs only re-measure when their texts change or the bar is shown anew.
        for (int i = 0; i < count(); ++i)
            setTabText(i, tabText(i));
    }
    QTabBar::resizeEvent(event);
}
