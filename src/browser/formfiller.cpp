#include "formfiller.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// Takes its data as one argument; element.type is the type the page's engine reports ("text" when missing).
const char kFillFunction[] = R"JS((function (data) {
    'use strict';
    var id = data[0], password = data[1], submit = data[2];
    function setValue(e, v) {
        e.setAttribute('value', v);
        e.value = v;
        e.dispatchEvent(new Event('input', { bubbles: true }));
        e.dispatchEvent(new Event('change', { bubbles: true }));
    }
    try {
        var inputs = Array.prototype.slice.call(document.getElementsByTagName('input'));
        for (var k = 0; k < inputs.length; ++k) {
            var e = inputs[k];
            var t = e.type;
            if (t === 'text') {
                setValue(e, id);
            } else if (t === 'password') {
                setValue(e, password);
            } else if (t === 'checkbox') {
                e.setAttribute('checked', '');
            } else if (t === 'submit') {
                if (submit) {
                    e.click();
                    return;
                }
            }
        }
    } catch (err) {
    }
}))JS";

} // namespace

QString fillLoginFormScript(const QString &id, const QString &password, bool submit)
{
    QString data = QString::fromUtf8(QJsonDocument(QJsonArray {id, password, submit}).toJson(QJsonDocument::Compact));
    // JSON leaves these two raw; older script engines end a string literal at them.
    data.replace(QChar(0x2028), QLatin1String("\\u2028")).replace(QChar(0x2029), QLatin1String("\\u2029"));
    return QString::fromLatin1(kFillFunction) + QLatin1Char('(') + data + QLatin1String(");");
}
