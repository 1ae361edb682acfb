#include "mainlayout.h"

#include <QProgressBar>
#include <QTabBar>
#include <QWidget>

#include <cmath>

namespace {

// A control refuses a negative width or height and keeps what it had.
void setSize(float &field, float value)
{
    if (value >= 0)
        field = value;
}

} // namespace

MainLayout MainLayout::designed()
{
    MainLayout l;
    l.cmdBack = {0, 0, 855, 855};
    l.fraSideBar = {0, 720, 2895, 6975};
    l.cmdNewWP = {120, 6240, 2655, 495};
    l.imgSideBar = {2880, 3840, 135, 495};
    l.lblTitleBack = {3000, 840, 6735, 495};
    l.imgLeftCorner = {3000, 840, 480, 450};
    l.imgRightCorner = {9240, 840, 525, 450};
    l.txtPageTitle = {3360, 825, 5895, 270};
    l.tbs = {3000, 1200, 6855, 6495};
    l.txtURL = {3120, 1320, 6135, 285};
    l.wbPage = {3120, 1725, 6135, 5895};
    l.stbStatus = {0, 7755, 10455, 375};
    l.pgrLoad = {0, 7800, 7500, 375};
    l.tabThickness = 120;
    l.statusPanel1Width = 7500;
    l.statusPanel2Width = 2955;
    l.tabLength = 1275;
    l.tabCount = 5;
    return l;
}

MainLayout layoutMainWindow(const MainLayout &previous, float width, float height, bool sideBarVisible)
{
    MainLayout l = previous;
    const float W = width;
    const float H = height;
    const float S = l.stbStatus.height;
    const float B = l.cmdBack.height;

    if (sideBarVisible) {
        setSize(l.fraSideBar.height, H - S - B);
        l.cmdNewWP.top = l.fraSideBar.height - l.cmdNewWP.height - 120;
        l.imgSideBar.left = l.fraSideBar.width;
    } else {
        l.imgSideBar.left = 0;
    }
    l.imgSideBar.top = (H - S - B - l.imgSideBar.height) / 2 + B;
    l.lblTitleBack.left = l.imgSideBar.left + l.imgSideBar.width;
    setSize(l.lblTitleBack.width, W - l.lblTitleBack.left);
    l.imgLeftCorner.left = l.lblTitleBack.left;
    l.imgRightCorner.left = W - l.imgRightCorner.width;
    l.txtPageTitle.left = l.imgLeftCorner.left + l.imgLeftCorner.width;
    setSize(l.txtPageTitle.width, l.lblTitleBack.width - l.imgLeftCorner.width - l.imgRightCorner.width);
    l.tbs.left = l.lblTitleBack.left;
    setSize(l.tbs.height, H - S - B - l.lblTitleBack.height);
    setSize(l.tbs.width, l.lblTitleBack.width);
    if (l.tabCount > 0)
        setSize(l.tabLength, std::nearbyint((l.tbs.height - 120) / static_cast<float>(l.tabCount)));
    l.txtURL.left = l.tbs.left + 120;
    setSize(l.txtURL.width, l.tbs.width - l.tabThickness - 600);
    if (l.tabCount > 0) {
        l.wbPage.top = l.txtURL.top + l.txtURL.height + 120;
        l.wbPage.left = l.txtURL.left;
        setSize(l.wbPage.width, l.txtURL.width);
        setSize(l.wbPage.height, l.tbs.height - l.txtURL.height - 360);
    }
    setSize(l.statusPanel1Width, W - l.statusPanel2Width);
    setSize(l.pgrLoad.width, l.statusPanel1Width);
    l.pgrLoad.top = H - l.pgrLoad.height;
    // Qt keeps no status bar at the bottom edge by itself: place it there, full width.
    l.stbStatus.top = H - S;
    setSize(l.stbStatus.width, W);
    return l;
}

int twipsToPixels(float twips, qreal dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QRect twipsToPixels(const TwipsRect &r, qreal dpi)
{
    // Convert the edges, so that touching controls keep touching after rounding.
    const int left = twipsToPixels(r.left, dpi);
    const int top = twipsToPixels(r.top, dpi);
    return QRect(left, top, twipsToPixels(r.left + r.width, dpi) - left, twipsToPixels(r.top + r.height, dpi) - top);
}

float pixelsToTwips(int pixels, qreal dpi)
{
    return static_cast<float>(pixels * 1440.0 / dpi);
}

float tabThicknessOf(const QTabBar *tabs, qreal dpi)
{
    const bool vertical = tabs->shape() == QTabBar::RoundedEast || tabs->shape() == QTabBar::RoundedWest ||
        tabs->shape() == QTabBar::TriangularEast || tabs->shape() == QTabBar::TriangularWest;
    const QSize hint = tabs->sizeHint();
    return pixelsToTwips(vertical ? hint.width() : hint.height(), dpi);
}

void applyMainLayout(const MainLayout &l, const MainLayoutWidgets &w, qreal dpi)
{
    // Places a widget given in window coordinates, inside whichever laid-out container holds it.
    auto place = [&](QWidget *widget, const TwipsRect &r) {
        if (!widget)
            return;
        QRect px = twipsToPixels(r, dpi);
        if (w.tabStrip && widget->parentWidget() == w.tabStrip)
            px.translate(-twipsToPixels(l.tbs, dpi).topLeft());
        else if (w.fraSideBar && widget->parentWidget() == w.fraSideBar)
            px.translate(-twipsToPixels(l.fraSideBar, dpi).topLeft());
        widget->setGeometry(px);
    };
    place(w.fraSideBar, l.fraSideBar);
    if (w.cmdNewWP)
        w.cmdNewWP->setGeometry(twipsToPixels(l.cmdNewWP, dpi));
    place(w.imgSideBar, l.imgSideBar);
    place(w.lblTitleBack, l.lblTitleBack);
    place(w.imgLeftCorner, l.imgLeftCorner);
    place(w.imgRightCorner, l.imgRightCorner);
    place(w.txtPageTitle, l.txtPageTitle);
    place(w.tabStrip, l.tbs);
    if (w.tabs) {
        // The tabs stand in a column along the strip's right edge, each of the fixed length.
        const float column = l.tabLength * static_cast<float>(l.tabCount);
        place(w.tabs, {l.tbs.left + l.tbs.width - l.tabThickness, l.tbs.top + 60, l.tabThickness, column});
        w.tabs->setExpanding(true);
    }
    place(w.txtURL, l.txtURL);
    place(w.browserArea, l.wbPage);
    place(w.stbStatus, l.stbStatus);
    if (w.statusPanel2 && w.stbStatus && w.statusPanel2->parentWidget() == w.stbStatus)
        w.statusPanel2->setGeometry(
            twipsToPixels({l.statusPanel1Width, 0, l.statusPanel2Width, l.stbStatus.height}, dpi));
    place(w.pgrLoad, l.pgrLoad);
}
