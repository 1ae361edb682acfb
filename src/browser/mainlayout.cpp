#include "mainlayout.h"

#include <QWidget>

#include <algorithm>
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

QRect twipsToPixels(const TwipsRect &r, qreal dpiX, qreal dpiY)
{
    // Convert the edges, so that touching controls keep touching after rounding.
    const int left = twipsToPixels(r.left, dpiX);
    const int top = twipsToPixels(r.top, dpiY);
    return QRect(left, top, twipsToPixels(r.left + r.width, dpiX) - left, twipsToPixels(r.top + r.height, dpiY) - top);
}

float pixelsToTwips(int pixels, qreal dpi)
{
    return static_cast<float>(pixels * 1440.0 / dpi);
}

void applyMainLayout(const MainLayout &l, const MainLayoutWidgets &w, qreal dpiX, qreal dpiY)
{
    auto place = [&](QWidget *widget, const TwipsRect &r) {
        if (widget)
            widget->setGeometry(twipsToPixels(r, dpiX, dpiY));
    };
    place(w.fraSideBar, l.fraSideBar);
    place(w.cmdNewWP, l.cmdNewWP);
    place(w.imgSideBar, l.imgSideBar);
    place(w.lblTitleBack, l.lblTitleBack);
    place(w.imgLeftCorner, l.imgLeftCorner);
    place(w.imgRightCorner, l.imgRightCorner);
    place(w.txtPageTitle, l.txtPageTitle);
    const float body = std::max(0.f, l.tbs.width - l.tabThickness);
    place(w.tabPage, {l.tbs.left, l.tbs.top, body, l.tbs.height});
    place(w.tabs, {l.tbs.left + body, l.tbs.top, l.tbs.width - body, l.tbs.height});
    place(w.txtURL, l.txtURL);
    place(w.browserArea, l.wbPage);
    place(w.pgrLoad, l.pgrLoad);
}
