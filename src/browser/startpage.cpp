#include "startpage.h"

#include <QFont>
#include <QTextBrowser>
#include <QTextDocument>

QString logoPath(const QString &programFolder)
{
    QString path = programFolder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + QStringLiteral("Qorvish.bmp");
}

QString startPageHtml(const QString &logoPath)
{
    // The path goes in as a file address, so that blanks or quotes in a folder name cannot break the markup.
    const QString logo = QUrl::fromLocalFile(logoPath).toString(QUrl::FullyEncoded);
    return QStringLiteral("<html> TIPS! Tab selection (Tab1 to Tab5) for multiple accounts access. <br> NOTE! "
                          "Security Level of Vaultry is ranging from 0(Lowest) to 10(Highest). However, we have "
                          "fixed the security level to level 5 for free distribution copy. ") +
        QStringLiteral("<br><br><br><br><br><center><img src=\"") + logo + QStringLiteral("\"></center></html>");
}

QUrl startPageBaseUrl(const QString &programFolder)
{
    QString folder = programFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return QUrl::fromLocalFile(folder);
}

QTextBrowser *newStartPageView(QWidget *parent)
{
    auto *view = new QTextBrowser(parent);
    view->setFrameShape(QFrame::NoFrame);
    view->setOpenLinks(false);
    view->setAccessibleName(QStringLiteral("Start page"));
    QPalette colours = view->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    view->setPalette(colours);
    QFont serif(QStringLiteral("serif"));
    serif.setStyleHint(QFont::Serif);
    serif.setPixelSize(16);
    view->document()->setDefaultFont(serif);
    view->document()->setDocumentMargin(8);
    return view;
}
