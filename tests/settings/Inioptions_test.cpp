#include "settings/Inifile.h"
#include "settings/Inioptions.h"
#include "settings/Inistorage.h"

#include "support/Testsupport.h"

#include <gmock/gmock.h>

namespace {

// An option set with one binding of every kind.
struct Sample : lib::ini_options {
    std::int32_t number = 5;
    std::uint32_t color = 0xFFFFFF;
    bool flag = true;
    float single = 0.5f;
    double real = 2.5;
    std::string text = "default";
    std::int32_t pod4 = 1;
    std::uint64_t pod8 = 0x0807060504030201ull;
    std::vector<std::string> calls;

    void declare(lib::ini_options_elements& list) override
    {
        list.addInt(number, "kinds", "int");
        list.addColor(color, "kinds", "color");
        list.addBool(flag, "kinds", "bool");
        list.addFloat(single, "kinds", "float");
        list.addDouble(real, "kinds", "double");
        list.addString(text, "kinds", "string");
        list.addRaw(pod4, "kinds", "pod4");
        list.addRaw(&pod8, 8, "kinds", "pod8");
    }
    void beforeSave(lib::IniFile&) override { calls.push_back("beforeSave"); }
    void afterSave(lib::IniFile&) override { calls.push_back("afterSave"); }
    void beforeLoad(lib::IniFile&) override { calls.push_back("beforeLoad"); }
    void afterLoad(lib::IniFile&) override { calls.push_back("afterLoad"); }
};

TEST(IniOptions, EveryKindIsWrittenInItsTextFormInDeclarationOrder)
{
    const test::DecimalSeparatorScope comma(',');
    Sample sample;
    sample.text = "  two blanks  ";
    sample.color = 0x80FF0000u;
    auto ini = lib::IniFile::inMemory();
    sample.saveTo(ini);
    EXPECT_EQ(ini.text(),
              "[kinds]\r\n"
              "int=5\r\n"
              "color=-2130771968\r\n"
              "bool=1\r\n"
              "float=0,5\r\n"
              "double=2,5\r\n"
              "string=\"  two blanks  \"\r\n"
              "pod4=01000000\r\n"
              "pod8=0102030405060708\r\n");
    EXPECT_THAT(sample.calls, ::testing::ElementsAre("beforeSave", "afterSave"));

    Sample loaded;
    loaded.number = 0; loaded.color = 0; loaded.flag = false; loaded.single = 0; loaded.real = 0;
    loaded.text.clear(); loaded.pod4 = 0; loaded.pod8 = 0;
    loaded.loadFrom(ini);
    EXPECT_EQ(loaded.number, 5);
    EXPECT_EQ(loaded.color, 0x80FF0000u);
    EXPECT_TRUE(loaded.flag);
    EXPECT_EQ(loaded.single, 0.5f);
    EXPECT_EQ(loaded.real, 2.5);
    EXPECT_EQ(loaded.text, "  two blanks  ");
    EXPECT_EQ(loaded.pod4, 1);
    EXPECT_EQ(loaded.pod8, 0x0807060504030201ull);
    EXPECT_THAT(loaded.calls, ::testing::ElementsAre("beforeLoad", "afterLoad"));
}

struct ReadCase {
    const char* key;
    const char* text;
    const char* what;
};

TEST(IniOptions, TextThatDoesNotParseKeepsTheVariable)
{
    const test::DecimalSeparatorScope comma(',');
    const ReadCase cases[] = {
        {"int", "12abc", "no integer"},
        {"int", "99999999999", "out of range"},
        {"color", "white", "no integer"},
        {"bool", "yes", "no integer"},
        {"float", "1e300", "beyond single precision"},
        {"double", "2.5", "a point where the separator is a comma"},
        {"double", "", "empty"},
        {"pod4", "0100", "four digits for four bytes"},
        {"pod4", "0100000000", "ten digits"},
    };
    for (const auto& c : cases) {
        auto ini = lib::IniFile::inMemory();
        ini.writeString("kinds", c.key, c.text);
        Sample sample;
        sample.loadFrom(ini);
        const Sample defaults;
        EXPECT_EQ(sample.number, defaults.number) << c.what;
        EXPECT_EQ(sample.color, defaults.color) << c.what;
        EXPECT_EQ(sample.flag, defaults.flag) << c.what;
        EXPECT_EQ(sample.single, defaults.single) << c.what;
        EXPECT_EQ(sample.real, defaults.real) << c.what;
        EXPECT_EQ(sample.pod4, defaults.pod4) << c.what;
    }
}

TEST(IniOptions, ValuesThatParse)
{
    const test::DecimalSeparatorScope comma(',');
    auto ini = lib::IniFile::inMemory(
        "[KINDS]\r\nINT=$10\r\nColor=0xFF\r\nbool=-3\r\ndouble=2,5\r\nfloat= 0,25 \r\n"
        "pod4=0A0B0C0D9\r\npod8=01G2030405060708\r\nstring=no quotes\r\n");
    Sample sample;
    sample.loadFrom(ini);
    EXPECT_EQ(sample.number, 16);
    EXPECT_EQ(sample.color, 255u);
    EXPECT_TRUE(sample.flag);
    EXPECT_EQ(sample.real, 2.5);
    EXPECT_EQ(sample.single, 0.25f);
    EXPECT_EQ(sample.pod4, 0x0D0C0B0A);                   // 2N + 1 characters are accepted
    EXPECT_EQ(sample.pod8, 0x0807060504030001ull);        // "G2" is no number: byte 0
    EXPECT_EQ(sample.text, "no quotes");

    auto zero = lib::IniFile::inMemory("[kinds]\r\nbool=0\r\n");
    sample.loadFrom(zero);
    EXPECT_FALSE(sample.flag);

    // Eight characters for four bytes, the last pair no number: that byte is 0. A Cyrillic
    // letter is one character of the file.
    for (const char* text : {"010000ZZ", "010000\xFF\xFF"}) {
        auto pod = lib::IniFile::inMemory(std::string("[kinds]\r\npod4=") + text + "\r\n");
        Sample s;
        s.pod4 = 0x7F7F7F7F;
        s.loadFrom(pod);
        EXPECT_EQ(s.pod4, 1) << text;
    }
}

// A binding that fails, between two that work.
struct Failing : lib::opt_detailed::ioe_base {
    Failing() : ioe_base("kinds", "failing") {}
    void save(lib::IniFile&) const override { throw std::runtime_error("save"); }
    void load(lib::IniFile&) override { throw std::runtime_error("load"); }
};

struct WithFailure : lib::ini_options {
    std::int32_t before = 1;
    std::int32_t after = 2;
    void declare(lib::ini_options_elements& list) override
    {
        list.addInt(before, "kinds", "before");
        list.bindings().emplace_back<Failing>();
        list.addInt(after, "kinds", "after");
    }
};

TEST(IniOptions, OneFailingOptionDoesNotStopTheOthers)
{
    WithFailure options;
    auto ini = lib::IniFile::inMemory();
    EXPECT_NO_THROW(options.saveTo(ini));
    EXPECT_EQ(ini.readInteger("kinds", "after", 0), 2);
    ini.writeInteger("kinds", "before", 10);
    ini.writeInteger("kinds", "after", 20);
    EXPECT_NO_THROW(options.loadFrom(ini));
    EXPECT_EQ(options.before, 10);
    EXPECT_EQ(options.after, 20);
}

TEST(IniOptions, BlankPathDoesNothingAndMissingFileKeepsDefaults)
{
    const test::TemporaryDirectory dir;
    Sample sample;
    sample.fileName = "kept";
    sample.load("   ");
    sample.save("");
    EXPECT_EQ(sample.fileName, "kept");
    EXPECT_TRUE(sample.calls.empty());

    const auto path = (dir / "none.ini").string();
    sample.number = 77;
    sample.load(path);
    EXPECT_EQ(sample.fileName, path);
    EXPECT_EQ(sample.number, 77);
    EXPECT_FALSE(std::filesystem::exists(path));
    sample.save(path);
    Sample other;
    other.load(path);
    EXPECT_EQ(other.number, 77);
}

TEST(WindowPlacement, FiveKeysInOrderAndAbsentKeysKeepTheCurrentValue)
{
    auto ini = lib::IniFile::inMemory();
    lib::saveWindowPlacement({10, 20, 800, 600, lib::WindowPlacement::maximised}, "главное_окно", ini);
    EXPECT_EQ(ini.keys("главное_окно"), (std::vector<std::string>{"top", "left", "width", "height", "state"}));
    lib::WindowPlacement placement{1, 2, 3, 4, 0};
    lib::loadWindowPlacement(placement, "главное_окно", ini);
    EXPECT_EQ(placement, (lib::WindowPlacement{10, 20, 800, 600, 2}));

    auto partial = lib::IniFile::inMemory("[w]\r\nwidth=5\r\n");
    placement = {1, 2, 3, 4, 0};
    lib::loadWindowPlacement(placement, "w", partial);
    EXPECT_EQ(placement, (lib::WindowPlacement{1, 2, 5, 4, 0}));
}

} // namespace
