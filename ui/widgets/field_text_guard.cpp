// SPDX-License-Identifier: MIT
#include "ui/widgets/field_text_guard.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>
#include <utility>

namespace ui {
namespace {

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

// A line edit lets its validator rewrite every change before anyone sees it
// (the text, its signals, the screen), whatever made the change.
class ControlCharacterBlanker final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override
    {
        if (std::ranges::any_of(std::as_const(input), isControl)) {
            position = static_cast<int>(withControlCharactersBlanked(input.left(position)).size());
            input = withControlCharactersBlanked(input);
        }
        return Acceptable;
    }
};

// Linux reports the keypad's decimal key as a comma or a point with the
// keypad modifier, by the keysym the layout gives it (KP_Separator or
// KP_Decimal); some layouts leave the key named Delete while it types a
// separator. Without Num Lock the key is Delete with no text: that stays
// Delete.
bool isKeypadDecimal(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers others = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (!key.modifiers().testFlag(Qt::KeypadModifier) || others != Qt::NoModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_Comma:
    case Qt::Key_Period:
        return true;
    case Qt::Key_Delete:
        return key.text().size() == 1 && key.text()[0].isPunct();
    default:
        return false;
    }
}

class KeypadPoint final : public QObject {
public:
    explicit KeypadPoint(QLineEdit &field) : QObject(&field), m_field(field) { field.installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &m_field || event->type() != QEvent::KeyPress || m_field.isReadOnly() ||
            !isKeypadDecimal(*static_cast<QKeyEvent *>(event)))
            return false;
        m_field.insert(QStringLiteral("."));
        return true;
    }

private:
    QLineEdit &m_field;
};

} // namespace

QString withControlCharactersBlanked(const QString &text)
{
    QString blanked;
    blanked.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isControl(text[i])) {
            blanked += text[i];
            continue;
        }
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        blanked += QLatin1Char(' ');
    }
    return blanked;
}

void blankControlCharacters(QLineEdit &field)
{
    field.setValidator(new ControlCharacterBlanker(&field));
}

void typePointOnKeypadDecimal(QLineEdit &field)
{
    new KeypadPoint(field);
}

} // namespace ui
