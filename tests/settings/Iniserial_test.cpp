#include "settings/Inifile.h"
#include "settings/Iniserial.h"

#include "library/Codepage.h"
#include "library/Stringcontainer.h"
#include "support/Testsupport.h"

namespace {

struct Entry : lib::IniSerialItem {
    std::string name;
    std::int32_t value = 0;
    std::string toText() const override
    {
        lib::StringContainer tokens;
        tokens.add(name);
        tokens.add(value);
        return tokens.join();
    }
    void fromText(std::string_view text) override
    {
        lib::StringContainer tokens;
        tokens.split(text);
        name = tokens.get();
        value = tokens.getInt();
    }
};

Entry makeEntry(std::string name, std::int32_t value)
{
    Entry entry;
    entry.name = std::move(name);
    entry.value = value;
    return entry;
}

struct EntryList : lib::IniSerialData {
    EntryList() : IniSerialData("список") {}
    std::vector<Entry> entries;
    int loads = 0;
    int count() const override { return static_cast<int>(entries.size()); }
    lib::IniSerialItem& item(int index) override { return entries.at(static_cast<std::size_t>(index)); }
    void resize(int size) override { entries.resize(static_cast<std::size_t>(size)); }
    void afterLoad(lib::IniFile&) override { ++loads; }
};

TEST(IniSerialData, SavesSizeAndQuotedItemsAndLoadsThemBack)
{
    EntryList list;
    list.entries = {makeEntry("Метан", 1), makeEntry("н-бутан с пробелом", 2)};
    auto ini = lib::IniFile::inMemory(lib::toCp1251("[список]\r\nstale=1\r\nitem9=\"old\"\r\n"));
    list.saveList(ini);
    EXPECT_EQ(ini.text(), lib::toCp1251("[список]\r\nsize=2\r\nitem1=\"Метан 1\"\r\n"
                                        "item2=\"\"н-бутан с пробелом\" 2\"\r\n"));
    EntryList loaded;
    loaded.loadList(ini);
    ASSERT_EQ(loaded.entries.size(), 2u);
    EXPECT_EQ(loaded.entries[1].name, "н-бутан с пробелом");
    EXPECT_EQ(loaded.entries[1].value, 2);
    EXPECT_EQ(loaded.loads, 1);
}

TEST(IniSerialData, ADamagedItemDoesNotStopTheOthers)
{
    struct Fragile : Entry {
        void fromText(std::string_view text) override
        {
            if (text == "bad")
                throw std::runtime_error("damaged");
            Entry::fromText(text);
        }
    };
    struct FragileList : EntryList {
        std::vector<Fragile> fragile;
        int count() const override { return static_cast<int>(fragile.size()); }
        lib::IniSerialItem& item(int index) override { return fragile.at(static_cast<std::size_t>(index)); }
        void resize(int size) override { fragile.resize(static_cast<std::size_t>(size)); }
    } list;
    auto ini = lib::IniFile::inMemory(lib::toCp1251("[список]\r\nsize=3\r\nitem1=\"a 1\"\r\nitem2=bad\r\nitem3=\"c 3\"\r\n"));
    EXPECT_NO_THROW(list.loadList(ini));
    ASSERT_EQ(list.fragile.size(), 3u);
    EXPECT_EQ(list.fragile[0].name, "a");
    EXPECT_EQ(list.fragile[2].value, 3);
    EXPECT_EQ(list.loads, 1);
}

TEST(IniSerialData, SizeDecidesWhetherTheListIsTouched)
{
    struct Case {
        const char* section;
        std::size_t expectedSize;
        int expectedLoads;
    };
    const Case cases[] = {
        {"[список]\r\nitem1=\"x 1\"\r\n", 3, 0},            // no size: untouched, no hook
        {"[список]\r\nsize=junk\r\n", 3, 0},
        {"[список]\r\nsize=-5\r\n", 3, 0},                  // damage, not a list
        {"[список]\r\nsize=2000000000\r\n", 3, 0},
        {"[список]\r\nsize=0\r\n", 0, 1},                   // empties it
        {"[список]\r\nsize=2\r\nitem1=\"x 1\"\r\n", 2, 1},  // missing item: empty text
    };
    for (const auto& c : cases) {
        EntryList list;
        list.entries.resize(3);
        auto ini = lib::IniFile::inMemory(lib::toCp1251(c.section));
        list.loadList(ini);
        EXPECT_EQ(list.entries.size(), c.expectedSize) << c.section;
        EXPECT_EQ(list.loads, c.expectedLoads) << c.section;
    }
}

} // namespace
