#include "links/Datasender.h"

#include "library/Codepage.h"
#include "platform/Mailslot.h"
#include "support/Testsupport.h"

#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

namespace {

class DataSenderTest : public ::testing::Test {
protected:
    DataSenderTest() { ::setenv("NIVRA_MAILSLOT_DIR", (folder / "slots").c_str(), 1); }
    ~DataSenderTest() override { ::unsetenv("NIVRA_MAILSLOT_DIR"); }

    static CalculatedGaz line(const char* key, double concentration)
    {
        CalculatedGaz result;
        result.key = key;
        result.concentration = concentration;
        return result;
    }

    // What the registration program reads, back in UTF-8, with the zero byte checked and cut.
    static std::string received(platform::Mailslot& slot)
    {
        const auto message = slot.read();
        if (!message || message->empty() || message->back() != '\0')
            return "<no zero-terminated message>";
        return lib::fromCp1251(std::string_view(*message).substr(0, message->size() - 1));
    }

    test::TemporaryDirectory folder;
};

TEST_F(DataSenderTest, ResultListIsOneLinePerResultWithTheRegionalSeparator)
{
    const CalculatedGazes results {line("метан_абс", 0.1234), line("этан_абс", 1e-05), line("сумм_газ", 0.5),
                                   line("метан_отн", 24.68), line("этан_отн", 100)};
    const struct {
        char separator;
        const char* expected;
    } cases[] = {
        {',', "метан_абс=0,1234\r\nэтан_абс=1e-05\r\nсумм_газ=0,5\r\nметан_отн=24,68\r\nэтан_отн=100\r\n"},
        {'.', "метан_абс=0.1234\r\nэтан_абс=1e-05\r\nсумм_газ=0.5\r\nметан_отн=24.68\r\nэтан_отн=100\r\n"},
    };
    platform::Mailslot slot(DataSender::mailslotName, 65536);
    ASSERT_TRUE(slot.valid());
    DataSender sender("");
    for (const auto& expected : cases) {
        test::DecimalSeparatorScope separator(expected.separator);
        sender.sendResults(results);
        const auto bytes = slot.read();
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, lib::toCp1251(expected.expected) + std::string(1, '\0')) << expected.separator;
    }
}

TEST_F(DataSenderTest, SummatorReadingHasNoLineEnd)
{
    test::DecimalSeparatorScope separator(',');
    platform::Mailslot slot(DataSender::mailslotName, 65536);
    DataSender sender("");
    sender.sendSummator(1.5);
    EXPECT_EQ(received(slot), "сумм_газ2=1,5");
}

TEST_F(DataSenderTest, ClosingBlockSetsThirteenKeysToZero)
{
    platform::Mailslot slot(DataSender::mailslotName, 65536);
    DataSender sender("");
    sender.sendClosing();
    const std::string text = received(slot);
    const std::string keys[] = {"метан_абс", "этан_абс", "пропан_абс", "бутан_абс", "пентан_абс", "гексан_абс",
                                "сумм_газ", "метан_отн", "этан_отн", "пропан_отн", "бутан_отн", "пентан_отн",
                                "гексан_отн"};
    std::string expected;
    for (const auto& key : keys)
        expected += key + "=0\r\n";
    EXPECT_EQ(text, expected);
}

TEST_F(DataSenderTest, MessagesFromThreeThreadsStayWholeAndInOrder)
{
    platform::Mailslot slot(DataSender::mailslotName, 65536);
    DataSender sender("");
    constexpr int perThread = 300;
    auto sendSeries = [&](const char* key) {
        for (int i = 0; i < perThread; ++i) {
            CalculatedGazes results;
            for (int line = 0; line < 13; ++line)
                results.push_back(DataSenderTest::line(key, i));
            sender.sendResults(results);
            // A short rest lets the reader run on a busy machine, so no sender loses every message.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    };
    std::vector<std::string> messages;
    std::atomic<bool> sending = true;
    std::thread reader([&] {
        while (sending || slot.waiting().count > 0) {
            if (auto message = slot.read())
                messages.push_back(std::move(*message));
            else
                std::this_thread::yield();
        }
    });
    {
        std::jthread window(sendSeries, "a"), acquisition(sendSeries, "b"), summator(sendSeries, "c");
    }
    sending = false;
    reader.join();

    // A full mailslot drops messages (the senders never wait); what arrives must be whole.
    ASSERT_GE(messages.size(), 30u);
    std::map<char, int> lastOfSender;
    for (const std::string& bytes : messages) {
        // Thirteen equal lines: any interleaving would mix keys or numbers.
        const std::string first = bytes.substr(0, bytes.find("\r\n") + 2);
        std::string whole;
        for (int line = 0; line < 13; ++line)
            whole += first;
        ASSERT_EQ(bytes, whole + std::string(1, '\0'));
        const int number = std::stoi(first.substr(2));
        EXPECT_GT(number, lastOfSender.emplace(first[0], -1).first->second) << "out of order";
        lastOfSender[first[0]] = number;
    }
    EXPECT_EQ(lastOfSender.size(), 3u) << "every thread got through";
}

} // namespace
