#include "formfiller.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Takes its data as one argument; element.type is the type the page's engine reports ("text" when missing).
const char kFillFunction[] = R"JS((function (data) {
    'use strict';
    // How long a page may take after loading to build its login form, as single-page sites do.
    var waitMs = 10000;
    var inputs = document.getElementsByTagName('input');
    function setValue(e, v) {
        e.setAttribute('value', v);
        e.value = v;
        e.dispatchEvent(new Event('input', { bubbles: true }));
        e.dispatchEvent(new Event('change', { bubbles: true }));
    }
    // Ticked as a user ticks it: some frameworks learn of a check box only from its click, which also sends
    // input and change. The attribute and the property follow, in case the page refused the click.
    function tick(e) {
        if (!e.checked)
            e.click();
        e.setAttribute('checked', '');
        e.checked = true;
    }
    function fill() {
        var all = Array.prototype.slice.call(inputs);
        for (var k = 0; k < all.length; ++k) {
            var e = all[k];
            var t = e.type;
            if (t === 'text') {
                setValue(e, data.id);
            } else if (t === 'password') {
                setValue(e, data.password);
            } else if (t === 'checkbox') {
                tick(e);
            } else if (t === 'submit') {
                if (data.submit) {
                    e.click();
                    return;
                }
            }
        }
    }
    function hasPasswordField() {
        for (var k = 0; k < inputs.length; ++k) {
            if (inputs[k].type === 'password')
                return true;
        }
        return false;
    }
    try {
        // Compared as the engine writes addresses; a page that has moved on meanwhile, even by a history change
        // without loading, is not the login page any more.
        var home = new URL(data.address).href;
        var fillAtHome = function () {
            if (location.href === home)
                fill();
        };
        if (hasPasswordField()) {
            fillAtHome();
            return;
        }
        var deadline = performance.now() + waitMs;
        var observer = new MutationObserver(function () {
            try {
                if (performance.now() > deadline) {
                    observer.disconnect();
                } else if (hasPasswordField()) {
                    observer.disconnect(); // once: the fill's own changes must not start it again
                    fillAtHome();
                }
            } catch (err) {
            }
        });
        observer.observe(document, { childList: true, subtree: true, attributes: true, attributeFilter: ['type'] });
        setTimeout(function () { observer.disconnect(); }, waitMs);
    } catch (err) {
    }
}))JS";

} // namespace

QString fillLoginFormScript(const QString &id, const QString &password, bool submit, const QUrl &address)
{
    const QJsonObject values {
        {"id", id}, {"password", password}, {"submit", submit}, {"address", address.toString(QUrl::FullyEncoded)}};
    QString data = QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact));
    // JSON leaves these two raw; older script engines end a string literal at them.
    data.replace(QChar(0x2028), QLatin1String("\\u2028")).replace(QChar(0x2029), QLatin1String("\\u2029"));
    return QString::fromLatin1(kFillFunction) + QLatin1Char('(') + data + QLatin1String(");");
}
