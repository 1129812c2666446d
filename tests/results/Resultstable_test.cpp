#include "results/Regfile.h"
#include "results/Regparam.h"
#include "results/Resultsfile.h"
#include "results/Structfile.h"
#include "support/Limitedchild.h"
#include "support/Testsupport.h"

#include "Resultsfixtures.h"

#include <gmock/gmock.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;

constexpr std::size_t recordSize = reg_file::File::recordSize;

reg_file::File fixtureRecord()
{
    reg_file::File record;
    record.time = 0x12345678;
    record.depth = 1234.5F;
    record.values[0] = 1.5F;
    record.values[1] = 100.0F;
    return record;
}

using fixtures::numberedRecord;
using fixtures::recordFixture;
using fixtures::recordsBytes;

std::vector<std::string> filesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RegFileRecord, EncodesTheFixedLayoutLittleEndianWithZeroReservedBytes)
{
    const auto bytes = fixtureRecord().bytes();
    EXPECT_EQ(std::string(bytes.data(), bytes.size()), recordFixture);
}

TEST(RegFileRecord, DecodesTheLayoutAndIgnoresReservedBytes)
{
    std::string bytes = recordFixture;
    bytes[9] = '\x55';    // reserved after the depth
    bytes[141] = '\x66';  // reserved at the end
    bytes[0] = '\x07';
    const reg_file::File record = reg_file::File::fromBytes(bytes.data());
    EXPECT_EQ(record.flag, 7);
    EXPECT_EQ(record.time, 0x12345678U);
    EXPECT_EQ(record.depth, 1234.5F);
    EXPECT_EQ(record.values[0], 1.5F);
    EXPECT_EQ(record.values[1], 100.0F);
    EXPECT_EQ(record.values[31], 0.0F);
}

TEST(RegFileRecord, StoringOneFieldLeavesTheOtherBytesAlone)
{
    std::string bytes = recordFixture;
    bytes[141] = '\x66';
    reg_file::File::storeReal(bytes.data(), reg_file::File::valueOffset(31), 12.3F);
    std::string expected = recordFixture;
    expected.replace(13 + 31 * 4, 4, "\xCD\xCC\x44\x41");
    expected[141] = '\x66';
    EXPECT_EQ(bytes, expected);
}

// ---------------------------------------------------------------------------------------------

TEST(StructFile, WritesTextsNumbersAndBytesInTheirFileForm)
{
    test::TemporaryDirectory folder;
    STRUCT_FILE file;
    ASSERT_TRUE(file.openWrite(folder / "list"));
    file.writeText("ab");
    file.writeText("");
    file.writeInt32(-2);
    file.writeReal32(100.0F);
    file.writeByte(0xAB);
    file.writeText("x\0y"s);  // stops at its 0 byte
    ASSERT_TRUE(file.close());
    EXPECT_EQ(test::readFile(folder / "list"), "ab\0\0\xFE\xFF\xFF\xFF\x00\x00\xC8\x42\xAB" "x\0"s);
}

TEST(StructFile, ItemsLargerThanAndAcrossTheBufferArriveWhole)
{
    test::TemporaryDirectory folder;
    const std::string longText(STRUCT_FILE::bufferSize + 1234, 'q');
    const std::string nearlyFull(STRUCT_FILE::bufferSize - 2, 'r');
    std::string expected = nearlyFull + '\0';
    expected += "\x01\x02\x03\x04"s;  // crosses the first buffer's end
    expected += longText + '\0';
    expected += '\x09';

    STRUCT_FILE file;
    ASSERT_TRUE(file.openWrite(folder / "list"));
    file.writeText(nearlyFull);
    file.writeInt32(0x04030201);
    file.writeText(longText);
    file.writeByte(9);
    ASSERT_TRUE(file.close());
    EXPECT_EQ(test::readFile(folder / "list"), expected);

    ASSERT_TRUE(file.openRead(folder / "list"));
    EXPECT_EQ(file.readText(), nearlyFull);
    EXPECT_EQ(file.readInt32(), 0x04030201);
    EXPECT_EQ(file.readText(), longText);
    EXPECT_EQ(file.readByte(), 9);
    EXPECT_FALSE(file.exhausted());
    EXPECT_TRUE(file.atEnd());
}

// A write after a failed or cut-short one works, and nothing of the earlier one stays beside the file.
void expectNextWriteReplacesTheFileAlone(const test::TemporaryDirectory& folder)
{
    STRUCT_FILE file;
    ASSERT_TRUE(file.openWrite(folder / "list"));
    file.writeByte(1);
    ASSERT_TRUE(file.close());
    EXPECT_EQ(test::readFile(folder / "list"), "\x01"s);
    EXPECT_THAT(filesIn(folder.path()), testing::ElementsAre("list"));
}

TEST(StructFile, ReplacesTheFileOnlyAtCloseAndLeavesNoStrayFile)
{
    test::TemporaryDirectory folder;
    test::writeFile(folder / "list", "old");
    {
        STRUCT_FILE abandoned;
        ASSERT_TRUE(abandoned.openWrite(folder / "list"));
        abandoned.writeText(std::string(STRUCT_FILE::bufferSize * 2, 'n'));
        EXPECT_EQ(test::readFile(folder / "list"), "old");
    }
    EXPECT_EQ(test::readFile(folder / "list"), "old");
    EXPECT_THAT(filesIn(folder.path()), testing::ElementsAre("list"));

    expectNextWriteReplacesTheFileAlone(folder);
}

TEST(StructFile, ACopyLeftByAWriteCutShortIsRemovedByTheNextWrite)
{
    test::TemporaryDirectory folder;
    test::writeFile(folder / "list", "old");

    // The child is killed in the middle of writing its copy, as by a crash.
    const int status = test::inLimitedChild(100, true, [&] {
        STRUCT_FILE file;
        file.openWrite(folder / "list");
        file.writeText(std::string(1000, 'n'));
        file.close();
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(filesIn(folder.path()).size(), 2U) << "the copy left behind";

    expectNextWriteReplacesTheFileAlone(folder);
}

TEST(StructFile, ReadsPastTheEndYieldEmptyTextsAndZeros)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::string firstText;
    };
    const Case cases[] = {
        {"empty file", "", ""},
        {"text without its 0 byte", "abc", "abc"},
        {"text then a short number", "t\0\x01\x02"s, "t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TemporaryDirectory folder;
        test::writeFile(folder / "list", c.bytes);
        STRUCT_FILE file;
        ASSERT_TRUE(file.openRead(folder / "list"));
        EXPECT_EQ(file.readText(), c.firstText);
        EXPECT_EQ(file.readInt32(), 0);
        EXPECT_EQ(file.readReal32(), 0.0F);
        EXPECT_EQ(file.readByte(), 0);
        EXPECT_EQ(file.readText(), "");
        EXPECT_TRUE(file.exhausted());
    }
}

TEST(StructFile, AMissingFileCannotBeRead)
{
    test::TemporaryDirectory folder;
    STRUCT_FILE file;
    EXPECT_FALSE(file.openRead(folder / "missing"));
    EXPECT_FALSE(file.openRead(folder.path()));
    EXPECT_EQ(file.readText(), "");
}

// ---------------------------------------------------------------------------------------------

using fixtures::methaneDescriptor;

TEST(ChannelList, WritesPercentDescriptorsOneAfterTheOther)
{
    test::TemporaryDirectory folder;
    const reg_file::Params params{reg_file::Param::percent("метан", "метан_абс"),
                                  reg_file::Param::percent("метан", "метан_абс")};
    ASSERT_TRUE(reg_file::writeChannelList(folder / "inpgti.nbl", params));
    EXPECT_EQ(test::readFile(folder / "inpgti.nbl"), methaneDescriptor + methaneDescriptor);
    EXPECT_EQ(reg_file::readChannelList(folder / "inpgti.nbl"), params);
    EXPECT_EQ(reg_file::channelListSize(params), 2 * methaneDescriptor.size());
}

TEST(ChannelList, ATextStopsAtItsZeroByteInTheFileAndInTheSize)
{
    test::TemporaryDirectory folder;
    const reg_file::Params params{reg_file::Param::percent("a\0b"s, "метан_абс")};
    ASSERT_TRUE(reg_file::writeChannelList(folder / "inpgti.nbl", params));
    EXPECT_EQ(std::filesystem::file_size(folder / "inpgti.nbl"), reg_file::channelListSize(params));
    const reg_file::Params read = reg_file::readChannelList(folder / "inpgti.nbl");
    ASSERT_EQ(read.size(), 1U);
    EXPECT_EQ(read[0].name, "a");
    EXPECT_EQ(read[0].key, "метан_абс");
}

TEST(ChannelList, ReadsAtMost32CompleteDescriptors)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t expected;
    };
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += methaneDescriptor;
    const Case cases[] = {
        {"no data", "", 0},
        {"one", methaneDescriptor, 1},
        {"forty", many, 32},
        {"one and a cut one", methaneDescriptor + methaneDescriptor.substr(0, methaneDescriptor.size() - 1), 1},
        {"one and stray bytes", methaneDescriptor + "ab", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TemporaryDirectory folder;
        test::writeFile(folder / "inpgti.nbl", c.bytes);
        const reg_file::Params params = reg_file::readChannelList(folder / "inpgti.nbl");
        ASSERT_EQ(params.size(), c.expected);
        for (const auto& param : params)
            EXPECT_EQ(param, reg_file::Param::percent("метан", "метан_абс"));
    }
    test::TemporaryDirectory empty;
    EXPECT_TRUE(reg_file::readChannelList(empty / "inpgti.nbl").empty());
}

// ---------------------------------------------------------------------------------------------

class ResultsFileTest : public testing::Test {
protected:
    std::filesystem::path path() const { return folder / "data.tim"; }
    std::string contents() const { return test::readFile(path()); }

    test::TemporaryDirectory folder;
};

TEST_F(ResultsFileTest, CreatesAMissingFileAndCountsOnlyCompleteRecords)
{
    results::ResultsFile file;
    ASSERT_TRUE(file.open(path()));
    EXPECT_EQ(file.recordCount(), 0U);
    EXPECT_TRUE(std::filesystem::exists(path()));

    test::writeFile(path(), recordsBytes({1, 2}) + std::string(70, '\x11'));
    ASSERT_TRUE(file.open(path()));
    EXPECT_EQ(file.recordCount(), 2U);
    EXPECT_EQ(file.record(1).bytes(), numberedRecord(2).bytes());
}

TEST_F(ResultsFileTest, CannotOpenInAMissingFolderOrAFolder)
{
    results::ResultsFile file;
    EXPECT_FALSE(file.open(folder / "missing" / "data.tim"));
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.append(numberedRecord(1)));
    EXPECT_FALSE(file.open(folder.path()));
}

TEST_F(ResultsFileTest, AppendWritesOverATornRecordLeftByACrash)
{
    test::writeFile(path(), recordsBytes({1, 2}) + std::string(70, '\x11'));
    results::ResultsFile file;
    ASSERT_TRUE(file.open(path()));
    ASSERT_TRUE(file.append(numberedRecord(3)));
    EXPECT_EQ(file.recordCount(), 3U);
    EXPECT_EQ(contents(), recordsBytes({1, 2, 3}));
}

TEST_F(ResultsFileTest, AppendAfterAnotherProgramRemovedTheFileStartsItAgain)
{
    test::writeFile(path(), recordsBytes({1, 2}));
    results::ResultsFile file;
    ASSERT_TRUE(file.open(path()));
    std::filesystem::remove(path());
    ASSERT_TRUE(file.append(numberedRecord(3)));
    EXPECT_EQ(file.recordCount(), 1U);
    EXPECT_EQ(contents(), recordsBytes({3}));
}

TEST_F(ResultsFileTest, AnAppendKilledMidwayLeavesOnlyCompleteRecordsCounted)
{
    test::writeFile(path(), recordsBytes({1, 2, 3, 4, 5}));
    const off_t limit = 5 * recordSize + 60;
    const int status = test::inLimitedChild(limit, true, [&] {
        results::ResultsFile file;
        if (!file.open(path()))
            return 2;
        file.append(numberedRecord(6));
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    ASSERT_EQ(std::filesystem::file_size(path()), static_cast<std::uintmax_t>(limit));  // a torn record

    results::ResultsFile file;
    ASSERT_TRUE(file.open(path()));
    EXPECT_EQ(file.recordCount(), 5U);
    ASSERT_TRUE(file.append(numberedRecord(7)));
    EXPECT_EQ(contents(), recordsBytes({1, 2, 3, 4, 5, 7}));
}

TEST_F(ResultsFileTest, AFailedAppendIsCutOffAndNotCounted)
{
    test::writeFile(path(), recordsBytes({1, 2, 3, 4, 5}));
    const int status = test::inLimitedChild(5 * recordSize + 60, false, [&] {
        results::ResultsFile file;
        if (!file.open(path()))
            return 2;
        if (file.append(numberedRecord(6)))
            return 3;
        return file.recordCount() == 5 ? 0 : 4;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(contents(), recordsBytes({1, 2, 3, 4, 5}));
}

TEST_F(ResultsFileTest, EraseKeepsTheOtherRecordsInOrder)
{
    struct Case {
        std::size_t first;
        std::size_t last;
        bool erased;
        std::string remaining;
    };
    const Case cases[] = {
        {1, 2, true, recordsBytes({1, 4, 5})},
        {0, 0, true, recordsBytes({2, 3, 4, 5})},
        {3, 99, true, recordsBytes({1, 2, 3})},
        {0, 4, true, ""},
        {5, 6, false, recordsBytes({1, 2, 3, 4, 5})},
        {3, 2, false, recordsBytes({1, 2, 3, 4, 5})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << "…" << c.last);
        test::writeFile(path(), recordsBytes({1, 2, 3, 4, 5}));
        results::ResultsFile file;
        ASSERT_TRUE(file.open(path()));
        EXPECT_EQ(file.eraseRecords(c.first, c.last), c.erased);
        EXPECT_EQ(file.recordCount(), c.remaining.size() / recordSize);
        EXPECT_EQ(contents(), c.remaining);
        EXPECT_THAT(filesIn(folder.path()), testing::ElementsAre("data.tim"));
    }
}

TEST_F(ResultsFileTest, AnEraseInterruptedWhileWritingLeavesTheResultsFileWhole)
{
    const std::string original = recordsBytes({1, 2, 3, 4, 5});
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "write fails");
        test::writeFile(path(), original);
        const int status = test::inLimitedChild(recordSize + 10, killed, [&] {
            results::ResultsFile file;
            if (!file.open(path()))
                return 2;
            if (file.eraseRecords(1, 2))
                return 3;
            return file.recordCount() == 5 && file.record(4).bytes() == numberedRecord(5).bytes() ? 0 : 4;
        });
        if (killed) {
            EXPECT_TRUE(WIFSIGNALED(status));
        } else {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_THAT(filesIn(folder.path()), testing::ElementsAre("data.tim"));
        }
        EXPECT_EQ(contents(), original);
    }
}

TEST_F(ResultsFileTest, ChangesAreWrittenIntoTheFileInPlace)
{
    std::string original = recordsBytes({1, 2});
    original[141] = '\x42';  // reserved bytes written by someone else stay
    test::writeFile(path(), original);
    results::ResultsFile file;
    ASSERT_TRUE(file.open(path()));
    file.setDepth(0, 1234.5F);
    file.setValue(1, 0, 1.5F);
    file.zeroValues(0);
    file.setValue(5, 0, 1.0F);   // no such record
    file.setValue(0, 32, 1.0F);  // no such slot

    reg_file::File first = numberedRecord(1);
    first.depth = 1234.5F;
    first.values = {};
    reg_file::File second = numberedRecord(2);
    second.values[0] = 1.5F;
    std::string expected = std::string(first.bytes().data(), recordSize)
                           + std::string(second.bytes().data(), recordSize);
    expected[141] = '\x42';
    EXPECT_EQ(contents(), expected);
}

TEST_F(ResultsFileTest, ClearKeepsOneGenerationOfTheOldFile)
{
    test::writeFile(path(), recordsBytes({1, 2}));
    results::ResultsFile file;
    ASSERT_TRUE(file.open(path()));
    ASSERT_TRUE(file.clear());
    EXPECT_EQ(file.recordCount(), 0U);
    EXPECT_EQ(contents(), "");
    EXPECT_EQ(test::readFile(folder / "data.tim.bak"), recordsBytes({1, 2}));

    // Clearing the empty table again keeps the copy of the records.
    ASSERT_TRUE(file.clear());
    EXPECT_EQ(test::readFile(folder / "data.tim.bak"), recordsBytes({1, 2}));

    ASSERT_TRUE(file.append(numberedRecord(3)));
    ASSERT_TRUE(file.clear());
    EXPECT_EQ(test::readFile(folder / "data.tim.bak"), recordsBytes({3}));
    EXPECT_THAT(filesIn(folder.path()), testing::ElementsAre("data.tim", "data.tim.bak"));
}

} // namespace
