#pragma once

#include <QRect>

class QWidget;

// A control's place in twips (1/1440 inch), single precision like the window's scale unit.
struct TwipsRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    bool operator==(const TwipsRect &) const = default;
};

// Positions and sizes of the main window's controls that the layout reads or moves, in twips.
struct MainLayout
{
    TwipsRect cmdBack;
    TwipsRect fraSideBar;
    TwipsRect cmdNewWP; // in the side bar's coordinates
    TwipsRect imgSideBar;
    TwipsRect lblTitleBack;
    TwipsRect imgLeftCorner;
    TwipsRect imgRightCorner;
    TwipsRect txtPageTitle;
    TwipsRect tbs; // the tab strip: tabs in a column along its right edge, the page to their left
    TwipsRect txtURL;
    TwipsRect wbPage; // the five browsers share this rectangle
    TwipsRect stbStatus;
    TwipsRect pgrLoad;
    float tabLength = 0; // fixed length of each tab along the strip's right edge
    float tabThickness = 0; // fixed thickness of the tabs, read from the strip
    float statusPanel1Width = 0; // the progress bar lies over panel 1
    float statusPanel2Width = 0; // panel 2 holds the load state
    int tabCount = 5;

    bool operator==(const MainLayout &) const = default;

    // The window as it was designed, for a client area of 10455 x 8130.
    static MainLayout designed();
};

// Lays the window out for a client area of width x height twips. Every value read from a control
// is the one an earlier step left in it; a width or height that would come out negative is refused
// and the previous value (from `previous`) stays, so a window too small keeps its last valid sizes.
MainLayout layoutMainWindow(const MainLayout &previous, float width, float height, bool sideBarVisible);

// Converts twips to pixels at the given logical DPI (pixels = twips x dpi / 1440).
int twipsToPixels(float twips, qreal dpi);
QRect twipsToPixels(const TwipsRect &r, qreal dpiX, qreal dpiY);
float pixelsToTwips(int pixels, qreal dpi);

// The widgets the layout moves, all children of the window's client area except cmdNewWP (a child of
// the side bar); any of them may be missing. The status bar keeps its own place at the bottom edge.
struct MainLayoutWidgets
{
    QWidget *fraSideBar = nullptr;
    QWidget *cmdNewWP = nullptr;
    QWidget *imgSideBar = nullptr;
    QWidget *lblTitleBack = nullptr;
    QWidget *imgLeftCorner = nullptr;
    QWidget *imgRightCorner = nullptr;
    QWidget *txtPageTitle = nullptr;
    QWidget *tabPage = nullptr; // the strip's body, left of the tab column
    QWidget *tabs = nullptr; // the tab column along the strip's right edge
    QWidget *txtURL = nullptr;
    QWidget *browserArea = nullptr; // holds the five browsers
    QWidget *pgrLoad = nullptr;
};

// Puts the widgets where the layout says, converting with the screen's logical DPI.
void applyMainLayout(const MainLayout &layout, const MainLayoutWidgets &w, qreal dpiX, qreal dpiY);
