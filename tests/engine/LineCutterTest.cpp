#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "engine/LineCutter.h"

using clipforge::LineCutter;
using clipforge::OutputPiece;

namespace clipforge {
void PrintTo(const OutputPiece& piece, std::ostream* out)
{
    *out << (piece.type == otEntireLine ? "line" : "beginning") << " \"" << testing::PrintToString(piece.text) << "\" "
         << (piece.returnCode == rcCRLF ? "crlf" : "lf");
}
}  // namespace clipforge

namespace {

using Pieces = std::vector<OutputPiece>;

Pieces cutReads(const std::vector<std::string>& reads, LineCutter& cutter)
{
    Pieces all;
    for (const auto& read : reads) {
        auto pieces = cutter.cut(read).pieces();
        all.insert(all.end(), pieces.begin(), pieces.end());
    }
    return all;
}

Pieces cutReads(const std::vector<std::string>& reads)
{
    LineCutter cutter;
    return cutReads(reads, cutter);
}

std::vector<std::string> entireLines(const Pieces& pieces)
{
    std::vector<std::string> lines;
    for (const auto& piece : pieces)
        if (piece.type == otEntireLine)
            lines.push_back(piece.text);
    return lines;
}

struct ExactCase {
    const char* name;
    std::vector<std::string> reads;
    Pieces expected;
};

class LineCutterExact : public testing::TestWithParam<ExactCase> {};

TEST_P(LineCutterExact, DeliversThesePieces) { EXPECT_EQ(cutReads(GetParam().reads), GetParam().expected); }

const std::string Nul(1, '\0');

INSTANTIATE_TEST_SUITE_P(
    Cases, LineCutterExact,
    testing::Values(
        ExactCase{"CrLfThenLf", {"a\r\nb\n"}, {{"a", otEntireLine, rcCRLF}, {"b", otEntireLine, rcLF}}},
        ExactCase{"ProgressRedrawnWithCr",
                  {"50%\r", "51%\r"},
                  {{"50%", otEntireLine, rcLF}, {"51%", otEntireLine, rcLF}}},
        ExactCase{"CrLfSplitBetweenReadsCountsOnce",
                  {"x\r", "\n\ny\n"},
                  {{"x", otEntireLine, rcLF}, {"", otEntireLine, rcLF}, {"y", otEntireLine, rcLF}}},
        ExactCase{"EmptyLineBetweenTwoLf",
                  {"x\n\ny\n"},
                  {{"x", otEntireLine, rcLF}, {"", otEntireLine, rcLF}, {"y", otEntireLine, rcLF}}},
        ExactCase{"NulBytesVanish", {"a" + Nul + "b" + Nul + "\n" + Nul}, {{"ab", otEntireLine, rcLF}}},
        ExactCase{"UnfinishedLineIsABeginning", {"abc"}, {{"abc", otBeginningOfLine, rcCRLF}}},
        ExactCase{"BeginningRepeatsUntilTheEndArrives",
                  {"ab", "cd", "ef\r\n"},
                  {{"ab", otBeginningOfLine, rcCRLF},
                   {"abcd", otBeginningOfLine, rcCRLF},
                   {"abcdef", otEntireLine, rcCRLF}}},
        ExactCase{"LfAfterCrLfIsAnotherLine", {"a\r\n", "\n"}, {{"a", otEntireLine, rcCRLF}, {"", otEntireLine, rcLF}}},
        ExactCase{"CrCrLfIsTwoLineEnds",
                  {"a\r\r\n"},
                  {{"a", otEntireLine, rcLF}, {"", otEntireLine, rcCRLF}}},
        ExactCase{"NulBetweenCrAndLfSeparatesThem",
                  {"a\r" + Nul, "\n"},
                  {{"a", otEntireLine, rcLF}, {"", otEntireLine, rcLF}}},
        ExactCase{"ReturnCodeRidesWithBeginnings",
                  {"a\r\nb"},
                  {{"a", otEntireLine, rcCRLF}, {"b", otBeginningOfLine, rcCRLF}}},
        ExactCase{"OnlyNulGivesNothing", {Nul + Nul}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever the chunking, the complete lines are the same. (Their return codes
// are not: a CR LF pair split between reads reports its CR alone.)
struct StreamCase {
    std::string bytes;
    std::vector<std::string> lines;
    std::string pending;
};

const std::vector<StreamCase> Streams{
    {"frame=1\rframe=2\rframe=3\r\nDone\n", {"frame=1", "frame=2", "frame=3", "Done"}, ""},
    {"a\r\n\r\nb\n\rc", {"a", "", "b", ""}, "c"},
    {std::string("x\0y\r\0\nz", 8), {"xy", ""}, "z"},
};

TEST(LineCutterStream, SameLinesForEverySplitIntoTwoOrThreeReads)
{
    for (const auto& stream : Streams) {
        const auto& bytes = stream.bytes;
        for (std::size_t first = 0; first <= bytes.size(); ++first) {
            for (std::size_t second = first; second <= bytes.size(); ++second) {
                LineCutter cutter;
                const auto pieces = cutReads(
                    {bytes.substr(0, first), bytes.substr(first, second - first), bytes.substr(second)}, cutter);
                SCOPED_TRACE(testing::Message() << "split at " << first << ", " << second);
                EXPECT_EQ(entireLines(pieces), stream.lines);
                EXPECT_EQ(cutter.pending(), stream.pending);
            }
        }
    }
}

// Line ends are searched for many bytes at a time; one at any position of
// such a group, or in the short tail after the last, must be found exactly.
TEST(LineCutterStream, FindsALineEndAtEveryPositionOfALongRead)
{
    const std::vector<std::string> separators{"\n", "\r", "\r\n", Nul};
    for (const auto& separator : separators) {
        for (std::size_t before = 0; before <= 40; ++before) {
            const std::string head(before, 'a');
            const std::string tail(37, 'b');
            const auto lines = entireLines(cutReads({head + separator + tail + "\n"}));
            const auto expected = separator == Nul ? std::vector<std::string>{head + tail}
                                                   : std::vector<std::string>{head, tail};
            EXPECT_EQ(lines, expected) << before << " bytes before " << testing::PrintToString(separator);
        }
    }
}

// The runner hands every read to the cutter in one batch that it reuses, and
// whole lines point into the batch's read buffer: no piece may show bytes of
// another read, whether the buffer grew in between or not.
TEST(LineCutterStream, ReusedBatchHoldsOnlyTheLatestRead)
{
    const std::vector<std::string> reads{"first line\nstart of ", "a long line" + std::string(3000, '.') + "\nx\n",
                                         "y\r", "\nz\n"};
    LineCutter reused;
    LineCutter fresh;
    clipforge::OutputBatch batch;
    for (const auto& read : reads) {
        const auto buffer = batch.readBuffer(read.size());
        ASSERT_GE(buffer.size(), read.size());
        std::copy(read.begin(), read.end(), buffer.begin());
        reused.cut(batch, read.size());
        EXPECT_EQ(batch.pieces(), fresh.cut(read).pieces()) << read.substr(0, 20);
    }
}

TEST(LineCutterStream, StopDropsTheRestOfTheRead)
{
    LineCutter cutter;
    std::atomic<bool> stop{true};
    EXPECT_TRUE(cutter.cut("a\nb\n", &stop).empty());
    stop = false;
    EXPECT_EQ(cutter.cut("c\n", &stop).pieces(), (Pieces{{"c", otEntireLine, rcLF}}));
}

struct InputCase {
    std::string input;
    bool complete;
};

TEST(LineCutterInput, CompleteWhenItEndsWithItsFirstLineEnd)
{
    const std::vector<InputCase> cases{{"go\r\n", true}, {"go\n", true},     {"go", false},
                                       {"a\nb\n", false}, {"a\r\nb\n", false}, {"go\r", false},
                                       {"\n", true},      {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(LineCutter::isCompleteInputLine(c.input), c.complete) << c.input;
}

TEST(LineCutterInput, EchoContinuesAPendingBeginning)
{
    LineCutter cutter;
    cutter.cut("prompt> ");
    EXPECT_EQ(cutter.echoInput("yes\n", true), (OutputPiece{"prompt> yes\n", otEntireLine, rcCRLF}));
    EXPECT_EQ(cutter.pending(), "");
    EXPECT_EQ(cutter.echoInput("par", false), (OutputPiece{"par", otBeginningOfLine, rcCRLF}));
    EXPECT_EQ(cutter.echoInput("tial\n", true), (OutputPiece{"partial\n", otEntireLine, rcCRLF}));
    EXPECT_EQ(cutter.cut("out\n").pieces(), (Pieces{{"out", otEntireLine, rcLF}}));
}

}  // namespace

TEST(LineCutter, AnEndlessLineComesInPiecesOfTheLongestLine)
{
    const std::size_t longest = LineCutter::LongestLine;
    // Split at every kind of place: inside a piece, at its edge, across several.
    for (const std::size_t readSize : {std::size_t(1000), longest - 1, longest, longest + 1, 3 * longest + 7}) {
        LineCutter cutter;
        const std::size_t total = 5 * longest + 123;
        std::vector<std::string> reads;
        for (std::size_t done = 0; done < total; done += readSize)
            reads.push_back(std::string(std::min(readSize, total - done), 'x'));
        reads.push_back("y\n");
        std::size_t wholeBytes = 0;
        std::size_t wholeLines = 0;
        for (const OutputPiece& piece : cutReads(reads, cutter)) {
            EXPECT_LE(piece.text.size(), longest + 2) << readSize;
            if (piece.type == otEntireLine) {
                wholeBytes += piece.text.size();
                ++wholeLines;
            }
        }
        EXPECT_EQ(wholeBytes, total + 1) << readSize;
        EXPECT_EQ(wholeLines, 6u) << readSize;
        EXPECT_TRUE(cutter.pending().empty());
    }
}
