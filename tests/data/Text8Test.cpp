// Every byte must survive a trip to widget text and back; typed text with no 8-bit form
// becomes "?", one byte a character.
#include "data/Text8.h"

#include <gtest/gtest.h>

using namespace vemo;

TEST(Text8, EveryByteSurvivesTheRoundTripAndHasItsOwnCharacter) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    QString shown = ToWidgetText(all);
    ASSERT_EQ(shown.size(), 256);
    EXPECT_EQ(FromWidgetText(shown), all);
    // No two bytes share a character, and none shows as the replacement character.
    for (int a = 0; a < 256; ++a) {
        EXPECT_NE(shown.at(a), QChar(0xFFFD)) << a;
        for (int b = a + 1; b < 256; ++b)
            ASSERT_NE(shown.at(a), shown.at(b)) << a << " " << b;
    }
}

TEST(Text8, WindowsTextsShowAsTheirCharactersAndTypedTextMapsBack) {
    EXPECT_EQ(ToWidgetText("H\xF6he 7\xB0 \x80"), QString::fromUtf8("Höhe 7° €"));
    EXPECT_EQ(FromWidgetText(QString::fromUtf8("Ä€…ž")), "\xC4\x80\x85\x9E");
    // Characters with no 8-bit form, a surrogate pair among them, become one "?" each; so does
    // U+0080, whose byte belongs to the euro sign.
    EXPECT_EQ(FromWidgetText(QString::fromUtf8("a\xE2\x86\x92"
                                               "b\xF0\x9F\x9A\x80"
                                               "c")),
              "a?b?c");
    EXPECT_EQ(FromWidgetText(QString(QChar(0x80))), "?");
}

TEST(Text8, CutCountsCharactersSoThatBytesAndCharactersAgree) {
    QString typed = QString(25, QChar(0xC4));
    QString cut = CutWidgetText(typed, 19);
    EXPECT_EQ(cut.size(), 19);
    EXPECT_EQ(FromWidgetText(cut).size(), 19u);
    QString rockets = QString::fromUtf8("\xF0\x9F\x9A\x80\xF0\x9F\x9A\x80\xF0\x9F\x9A\x80");
    EXPECT_EQ(FromWidgetText(CutWidgetText(rockets, 2)), "??");
}
