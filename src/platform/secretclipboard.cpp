#include "secretclipboard.h"

#include <QClipboard>
#include <QMimeData>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {
// Clipboard managers (and the desktop's clipboard history) keep no copy of data so marked.
const QString kPasswordHint = QStringLiteral("x-kde-passwordManagerHint");
} // namespace

SecretClipboard::SecretClipboard(QClipboard *clipboard, Timer timer, QObject *parent)
    : QObject(parent), m_clipboard(clipboard), m_timer(std::move(timer))
{
    if (!m_timer)
        m_timer = [this](int ms, std::function<void()> done) {
            QTimer::singleShot(ms, this, std::move(done));
        };
}

SecretClipboard::~SecretClipboard()
{
    // Whoever listens may already be half gone.
    blockSignals(true);
    clearSecret();
}

void SecretClipboard::copyText(const QString &text)
{
    ++m_copies;
    m_secret.clear();
    m_clipboard->setText(text);
}

void SecretClipboard::copySecret(const QString &text, int seconds)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(kPasswordHint, QByteArrayLiteral("secret"));
    m_clipboard->setMimeData(data);
    m_secret = text;
    const quint64 copy = ++m_copies;
    // Milliseconds must fit an int; longer than 24 days comes to the same as never for a session.
    m_timer(std::min(seconds, std::numeric_limits<int>::max() / 1000) * 1000, [this, copy] {
        if (copy == m_copies)
            clearSecret();
    });
}

bool SecretClipboard::holdsSecret() const
{
    const QMimeData *data = m_clipboard->mimeData();
    return !m_secret.isEmpty() && data && data->hasFormat(kPasswordHint) && data->text() == m_secret;
}

void SecretClipboard::clearSecret()
{
    if (holdsSecret()) {
        m_clipboard->clear();
        emit secretCleared();
    }
    m_secret.clear();
}
