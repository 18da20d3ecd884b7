#include "controls/limit_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace brenvik {
namespace {

struct Keystroke {
    int key;
    QString text;
};

const Keystroke kA{Qt::Key_A, QStringLiteral("a")};
const Keystroke kB{Qt::Key_B, QStringLiteral("b")};
const Keystroke kBackslash{Qt::Key_Backslash, QStringLiteral("\\")};
const Keystroke kUmlaut{Qt::Key_Adiaeresis, QString(QChar(228))};
const Keystroke kCode128{Qt::Key_unknown, QString(QChar(128))};
const Keystroke kCode129{Qt::Key_unknown, QString(QChar(129))};
const Keystroke kBackspace{Qt::Key_Backspace, QStringLiteral("\b")};

struct TypingCase {
    const char* name;
    std::vector<Keystroke> typed;
    QString expected;
};

void PrintTo(const TypingCase& typingCase, std::ostream* out) {
    *out << typingCase.name;
}

class LimitEditTypingTest : public testing::TestWithParam<TypingCase> {};

TEST_P(LimitEditTypingTest, RefusesBackslashAndCodesAbove128AsTheyAreTyped) {
    CLimitEdit edit;
    for (const Keystroke& stroke : GetParam().typed) {
        QKeyEvent press(QEvent::KeyPress, stroke.key, Qt::NoModifier, stroke.text);
        QApplication::sendEvent(&edit, &press);
    }
    EXPECT_EQ(edit.text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LimitEditTypingTest,
    testing::Values(TypingCase{"BackslashBetweenLetters", {kA, kBackslash, kB}, QStringLiteral("ab")},
                    TypingCase{"Umlaut", {kUmlaut}, QString()},
                    TypingCase{"Code128Passes", {kA, kCode128}, QStringLiteral("a") + QChar(128)},
                    TypingCase{"Code129Refused", {kCode129, kB}, QStringLiteral("b")},
                    TypingCase{"BackspaceRemovesOne", {kA, kB, kBackspace}, QStringLiteral("a")}),
    [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

TEST(LimitEditTest, RespectsTheFieldsLengthLimitForCode128) {
    CLimitEdit edit;
    edit.setMaxLength(1);
    edit.setText(QStringLiteral("a"));
    QKeyEvent press(QEvent::KeyPress, kCode128.key, Qt::NoModifier, kCode128.text);
    QApplication::sendEvent(&edit, &press);
    EXPECT_EQ(edit.text(), QStringLiteral("a"));
}

TEST(LimitEditTest, TextSetOrPastedIsNotFiltered) {
    const QString text = QStringLiteral("a\\") + QChar(228);
    CLimitEdit edit;
    edit.setText(text);
    EXPECT_EQ(edit.text(), text);

    edit.clear();
    QApplication::clipboard()->setText(text);
    edit.paste();
    EXPECT_EQ(edit.text(), text);
}

TEST(LimitEditTest, CharactersComposedByAnInputMethodAreFilteredToo) {
    CLimitEdit edit;
    QInputMethodEvent compose;
    compose.setCommitString(QStringLiteral("a\\") + QChar(228) + QStringLiteral("b"));
    QApplication::sendEvent(&edit, &compose);
    EXPECT_EQ(edit.text(), QStringLiteral("ab"));
}

} // namespace
} // namespace brenvik
