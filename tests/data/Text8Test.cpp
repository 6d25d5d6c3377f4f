// Every byte survives a trip to widget text and back; typed text with no 8-bit form becomes "?".
#include "data/Text8.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace vemo;

TEST(Text8, EveryByteHasItsOwnCharacterAndComesBack) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString shown = ToWidgetText(all);
    ASSERT_EQ(shown.size(), 256);
    EXPECT_EQ(FromWidgetText(shown), all);
    EXPECT_EQ(QSet<QChar>(shown.begin(), shown.end()).size(), 256);
    EXPECT_FALSE(shown.contains(QChar(0xFFFD)));
    EXPECT_EQ(ToWidgetText("H\xF6he 7\xB0 \x80"), QString::fromUtf8("H\u00F6he 7\u00B0 \u20AC"));
    EXPECT_EQ(FromWidgetText(QString::fromUtf8("\u00C4\u20AC\u2026\u017E")), "\xC4\x80\x85\x9E");
}

TEST(Text8, TypedTextWithoutAByteIsOneQuestionMarkAndCutsCountCharacters) {
    // A surrogate pair is one character; U+0080 has none, its byte belongs to the euro sign.
    EXPECT_EQ(FromWidgetText(QString::fromUtf8("a\u2192b\U0001F680c\u0080")), "a?b?c?");
    EXPECT_EQ(FromWidgetText(CutWidgetText(QString(25, QChar(0xC4)), 19)), std::string(19, '\xC4'));
    EXPECT_EQ(FromWidgetText(CutWidgetText(QString::fromUtf8("\U0001F680\U0001F680\U0001F680"), 2)),
              "??");
}
