#pragma once

#include <QTabBar>

// The account tab strip: tabs in a column along its right edge, sharing out the column's height.
class AccountTabBar : public QTabBar
{
    Q_OBJECT
public:
    explicit AccountTabBar(QWidget *parent = nullptr);

    // Length of every tab along the column, in pixels; 0 leaves it to the style.
    int fixedTabLength() const { return m_length; }

protected:
    QSize tabSizeHint(int index) const override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int m_length = 0;
};
