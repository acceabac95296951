#include "wizard/UpdateLog.h"

#include "LineCompare.h"

#include <gtest/gtest.h>

namespace {

using TLines = std::vector<std::string>;

// Markers of older installs (45000, 45100, 45190) and of the new one (45292.5).
const std::string MA = "*0000000000F9E540";
const std::string MB = "*000000008005E640";
const std::string MC = "*00000000C010E640";
const std::string MN = "*00000000901DE640";
const std::string P1 = "C:\\ProgramData\\Scrivora\\Public\\Spellcheck\\a.dic";
const std::string P2 = "C:\\ProgramData\\Scrivora\\Public\\Spellcheck\\b.aff";
const std::string P3 = "C:\\ProgramData\\Scrivora\\Public\\Spellcheck\\c.hyph";
const std::string P4 = "C:\\ProgramData\\Scrivora\\Public\\Spellcheck\\d.thes";

TLines Merge(const TLines& log, TLines publicFiles)
{
    SortPublicFiles(publicFiles, CompareAsciiNoCase);
    return MergeUpdateLog(log, publicFiles, MN, CompareAsciiNoCase);
}

TEST(UpdateLogMerge, TableOfLogs)
{
    const std::string user = "C:\\ProgramData\\Scrivora\\Public\\Spellcheck\\userdicda.tlx";
    struct TRow {
        const char* Name;
        TLines Log, PublicFiles, Expected;
    } rows[] = {
        {"no log yet", {}, {P2, P1}, {MN, P1, P2}},
        {"first worked example", {MA, P1, P2, MB, P3}, {P1, P3, P4}, {MA, P2, MN, P1, P3, P4}},
        {"second worked example", {MA, P1, P2, MB, P3}, {P1, P2, P4}, {MA, P3, MN, P1, P2, P4}},
        {"last group written again loses its marker", {MA, P1, MB, P2}, {P2}, {MA, P1, MN, P2}},
        {"only group written again", {MA, P1, P2}, {P2, P1}, {MN, P1, P2}},
        {"line equal but for case is removed",
         {MA, "c:\\programdata\\scrivora\\public\\spellcheck\\A.DIC", P2}, {P1}, {MA, P2, MN, P1}},
        {"path stays beside the same path marked kept", {MA, user}, {user + "\t!"}, {MA, user, MN, user + "\t!"}},
        {"marked path stays beside the same path", {MA, user + "\t!"}, {user}, {MA, user + "\t!", MN, user}},
        {"empty lines are removed", {"", MA, "", P2, ""}, {P1}, {MA, P2, MN, P1}},
        {"run of markers keeps the oldest", {MA, MB, MC, P3}, {P1}, {MA, P3, MN, P1}},
        {"markers meeting after removal keep the oldest", {MA, P1, MB, P2}, {P1}, {MA, P2, MN, P1}},
        {"markers only", {MA, MB}, {P1}, {MN, P1}},
        {"paths before any marker stay", {P3, MA, P1}, {P1}, {P3, MN, P1}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(Merge(row.Log, row.PublicFiles), row.Expected);
    }
}

TEST(UpdateLogMerge, SortsPublicFilesCaseAside)
{
    TLines files = {"c:\\b", "C:\\C", "C:\\a", "c:\\B\t!"};
    SortPublicFiles(files, CompareAsciiNoCase);
    EXPECT_EQ(files, (TLines{"C:\\a", "c:\\b", "c:\\B\t!", "C:\\C"}));
}

TEST(UpdateLogText, SplitsAtEveryLineEnd)
{
    struct TRow {
        const char* Name;
        std::string Bytes;
        TLines Expected;
    } rows[] = {
        {"empty text", "", {}},
        {"last line without line end", "a\r\nb", {"a", "b"}},
        {"line end at the end adds no line", "a\r\n", {"a"}},
        {"lone LF", "a\nb\n", {"a", "b"}},
        {"lone CR", "a\rb\r", {"a", "b"}},
        {"CR before CR LF gives an empty line", "a\r\r\nb", {"a", "", "b"}},
        {"LF before CR gives an empty line", "a\n\rb", {"a", "", "b"}},
        {"empty lines", "\r\n\na\r\n\r\n", {"", "", "a", ""}},
        {"zero byte ends the text", std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
        {"zero byte first", std::string("\0a", 2), {}},
        {"tab and other bytes kept", "x\t!\r\n\xE6\xF8\xE5", {"x\t!", "\xE6\xF8\xE5"}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(SplitLogText(row.Bytes), row.Expected);
    }
}

TEST(UpdateLogText, WritesEveryLineWithCrLf)
{
    EXPECT_EQ(JoinLogLines({}), "");
    EXPECT_EQ(JoinLogLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(UpdateLogText, MixedLineEndsComeBackAsCrLf)
{
    const std::string old = MA + "\n" + P1 + "\r\r\n" + P2 + "\r" + P3;
    const std::string written = JoinLogLines(Merge(SplitLogText(old), {P4}));
    EXPECT_EQ(written, MA + "\r\n" + P1 + "\r\n" + P2 + "\r\n" + P3 + "\r\n" + MN + "\r\n" + P4 + "\r\n");
}

TEST(UpdateLogMarker, RawBytesOfTheTimeInMemoryOrder)
{
    struct TRow {
        const char* Name;
        TDateTime Time;
        const char* Expected;
    } rows[] = {
        {"1 January 2024 12:00", 45292.5, "*00000000901DE640"},
        {"zero", 0.0, "*0000000000000000"},
        {"negative", -1.0, "*000000000000F0BF"},
        {"time of day with a long fraction", 45292.123456789, "*E7A65BF3831DE640"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(LogMarker(row.Time), row.Expected);
    }
}

}  // namespace
