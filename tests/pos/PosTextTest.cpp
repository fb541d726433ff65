// The code pages of printer and display text and the byte codes of the settings.
#include "pos/PosText.h"

namespace zodra::test {
namespace {

using zodra::pos::MapPosText;

const QString kLetters = QStringLiteral("ŠĐČĆŽšđčćž");

TEST(MapPosText, EachCodePageWritesTheCroatianLettersAsItsBytes) {
    EXPECT_EQ(MapPosText(kLetters, 437), QByteArray("[\\^]@{|~}`"));
    EXPECT_EQ(MapPosText(kLetters, 852), QByteArray("\xE6\xD1\xAC\x8F\xA6\xE7\xD0\x9F\x86\xA7"));
    EXPECT_EQ(MapPosText(kLetters, 1250), QByteArray("\x8A\xD0\xC8\xC6\x8E\x9A\xF0\xE8\xE6\x9E"));
    // Any other code page: the text as it is.
    EXPECT_EQ(MapPosText(kLetters, 0), kLetters.toUtf8());
    // A byte once converted is never converted again, and ASCII bytes stay what they are.
    EXPECT_EQ(MapPosText(QStringLiteral("šš[@|]"), 852), QByteArray("\xE7\xE7[@|]"));
}

TEST(MapPosText, In1250TheAsciiSignsStayThemselves) {
    // A table that reads "@" as "Ž" would print an e-mail address or "[1]" wrong.
    EXPECT_EQ(MapPosText(QStringLiteral("info@zodra.hr [1] a|b {x} ~`^\\"), 1250),
              QByteArray("info@zodra.hr [1] a|b {x} ~`^\\"));
    EXPECT_EQ(MapPosText(QStringLiteral("5 € °"), 1250), QByteArray("5 \x80 \xB0"));
}

TEST(MapPosText, CharactersATableLacksBecomeAQuestionMark) {
    EXPECT_EQ(MapPosText(QStringLiteral("é€"), 437), QByteArray("??"));
    EXPECT_EQ(MapPosText(QStringLiteral("é€"), 852), QByteArray("??"));
    EXPECT_EQ(MapPosText(QStringLiteral("日"), 1250), QByteArray("?"));
}

TEST(HexBytes, ReadsCodesSeparatedByBlanksAndRefusesOthers) {
    EXPECT_EQ(zodra::pos::HexBytes(QStringLiteral("1B 70 00 19 fa")),
              QByteArray("\x1B\x70\x00\x19\xFA", 5));
    EXPECT_EQ(zodra::pos::HexBytes(QStringLiteral("5")), QByteArray("\x05"));
    EXPECT_EQ(zodra::pos::HexBytes(QStringLiteral("  ")), QByteArray());
    EXPECT_FALSE(zodra::pos::HexBytes(QStringLiteral("1G")));
    EXPECT_FALSE(zodra::pos::HexBytes(QStringLiteral("100")));
    EXPECT_FALSE(zodra::pos::HexBytes(QStringLiteral("1B,40")));
}

TEST(CodePageSelect, TheUsualTablePerCodePageUnlessTheSettingSaysOtherwise) {
    EXPECT_EQ(zodra::pos::CodePageSelect(QString(), 437), 0);
    EXPECT_EQ(zodra::pos::CodePageSelect(QString(), 852), 18);
    EXPECT_EQ(zodra::pos::CodePageSelect(QString(), 1250), 45);
    EXPECT_FALSE(zodra::pos::CodePageSelect(QString(), 65001));
    EXPECT_EQ(zodra::pos::CodePageSelect(QStringLiteral("2"), 852), 2);
    bool ok = true;
    EXPECT_FALSE(zodra::pos::CodePageSelect(QStringLiteral("ne"), 852, &ok));
    EXPECT_TRUE(ok);
    EXPECT_FALSE(zodra::pos::CodePageSelect(QStringLiteral("False"), 852, &ok));
    EXPECT_TRUE(ok);
    EXPECT_FALSE(zodra::pos::CodePageSelect(QStringLiteral("256"), 852, &ok));
    EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace zodra::test
