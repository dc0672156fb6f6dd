#include "smartcard/scard_calls.h"
#include "smartcard/scard_error.h"
#include "smartcard/winscard_api.h"

#include <QtGlobal>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace smartcard;

namespace {

const SCARD_IO_REQUEST kT0Pci{SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};

// Every guarded stand-in, called with harmless arguments.
struct StandIn {
    const char* name;
    std::function<LONG()> call;
};

std::vector<StandIn> AllStandIns()
{
    static SCARDCONTEXT context;
    static SCARDHANDLE card;
    static DWORD value;
    static BYTE bytes[300];
    static SCARD_READERSTATE state{};
    return {
        {"SCardTransmit",
         [] {
             value = sizeof bytes;
             return smartcard::SCardTransmit(1, &kT0Pci, bytes, 4, nullptr, bytes, &value);
         }},
        {"SCardEstablishContext",
         [] { return smartcard::SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context); }},
        {"SCardReleaseContext", [] { return smartcard::SCardReleaseContext(1); }},
        {"SCardCancel", [] { return smartcard::SCardCancel(1); }},
        {"SCardListReaders", [] { return smartcard::SCardListReaders(1, nullptr, nullptr, &value); }},
        {"SCardListReaderGroups", [] { return smartcard::SCardListReaderGroups(1, nullptr, &value); }},
        {"SCardIntroduceReader", [] { return smartcard::SCardIntroduceReader(1, "R", "D"); }},
        {"SCardAddReaderToGroup", [] { return smartcard::SCardAddReaderToGroup(1, "R", "G"); }},
        {"SCardRemoveReaderFromGroup", [] { return smartcard::SCardRemoveReaderFromGroup(1, "R", "G"); }},
        {"SCardForgetReader", [] { return smartcard::SCardForgetReader(1, "R"); }},
        {"SCardConnect",
         [] { return smartcard::SCardConnect(1, "R", SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card, &value); }},
        {"SCardReconnect",
         [] {
             return smartcard::SCardReconnect(1, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, SCARD_RESET_CARD, &value);
         }},
        {"SCardDisconnect", [] { return smartcard::SCardDisconnect(1, SCARD_LEAVE_CARD); }},
        {"SCardBeginTransaction", [] { return smartcard::SCardBeginTransaction(1); }},
        {"SCardEndTransaction", [] { return smartcard::SCardEndTransaction(1, SCARD_LEAVE_CARD); }},
        {"SCardIntroduceReaderGroup", [] { return smartcard::SCardIntroduceReaderGroup(1, "G"); }},
        {"SCardForgetReaderGroup", [] { return smartcard::SCardForgetReaderGroup(1, "G"); }},
        {"SCardGetStatusChange", [] { return smartcard::SCardGetStatusChange(1, 0, &state, 1); }},
        {"SCardLocateCards", [] { return smartcard::SCardLocateCards(1, "C\0", &state, 1); }},
        {"SCardGetAttrib",
         [] {
             value = sizeof bytes;
             return smartcard::SCardGetAttrib(1, 1, bytes, &value);
         }},
        {"SCardSetAttrib", [] { return smartcard::SCardSetAttrib(1, 1, bytes, 1); }},
    };
}

class BindingTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        ResetSCardApi();
        (void)LoadSCardLibrary(kPcscLibraryName);
        SetSCardTrace(false);
    }
};

TEST_F(BindingTest, MissingLibraryMakesEveryStandInAnswerInvalidTarget)
{
    EXPECT_FALSE(LoadSCardLibrary("libkartovan-no-such-pcsc.so.9"));
    EXPECT_EQ(SCardLibraryHandle(), nullptr);
    EXPECT_EQ(GetSCardProc("SCardTransmit"), nullptr);
    for (const StandIn& s : AllStandIns())
        EXPECT_EQ(s.call(), SCARD_E_INVALID_TARGET) << s.name;
    EXPECT_EQ(SCardProbe(), 1);
    EXPECT_EQ(SCardErrorText(SCARD_E_INVALID_TARGET), "Registry startup information is missing or invalid");
}

TEST_F(BindingTest, EntryPointsAreResolvedByNameFromTheLibrary)
{
    ASSERT_TRUE(LoadSCardLibrary(FAKE_PCSCLITE_PATH));
    void* handle = SCardLibraryHandle();
    ASSERT_NE(handle, nullptr);
    const TSCardApi& api = SCardApi();
    EXPECT_EQ(reinterpret_cast<void*>(api.SCardEstablishContext), dlsym(handle, "SCardEstablishContext"));
    EXPECT_EQ(reinterpret_cast<void*>(api.SCardTransmit), dlsym(handle, "SCardTransmit"));
    EXPECT_EQ(reinterpret_cast<void*>(api.SCardIntroduceReader), dlsym(handle, "SCardIntroduceReader"));
    EXPECT_EQ(reinterpret_cast<void*>(api.pcsc_stringify_error), dlsym(handle, "pcsc_stringify_error"));
    EXPECT_NE(api.SCardReleaseContext, nullptr);
    EXPECT_NE(api.SCardListReaders, nullptr);
    EXPECT_EQ(api.SCardConnect, nullptr);
    EXPECT_EQ(api.SCardGetStatusChange, nullptr);

    const std::vector<std::string> present = {"SCardEstablishContext", "SCardReleaseContext", "SCardListReaders",
                                              "SCardTransmit", "SCardIntroduceReader"};
    for (const StandIn& s : AllStandIns()) {
        const bool exported = std::find(present.begin(), present.end(), s.name) != present.end();
        if (!exported) {
            EXPECT_EQ(s.call(), SCARD_E_INVALID_TARGET) << s.name;
        }
    }
    EXPECT_EQ(smartcard::SCardIntroduceReader(1, "R", "D"), SCARD_E_READER_UNAVAILABLE);

    SCARDCONTEXT context = 0;
    EXPECT_EQ(smartcard::SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    EXPECT_EQ(context, 0x5102);
    const BYTE command[] = {0x00, 0xB0, 0x01, 0x02};
    BYTE answer[16] = {};
    DWORD length = sizeof answer;
    ASSERT_EQ(smartcard::SCardTransmit(1, &kT0Pci, command, 4, nullptr, answer, &length), SCARD_S_SUCCESS);
    ASSERT_EQ(length, 6u);
    EXPECT_EQ(answer[0], 0x02);
    EXPECT_EQ(answer[3], 0x00);
    EXPECT_EQ(answer[4], 0x90);
    // Codes without a text of their own take the library's, line breaks removed.
    EXPECT_EQ(SCardErrorText(0x8010002E), "Error 0x8010002E:Fake text.");
    EXPECT_EQ(SCardProbe(), 0);
}

TEST_F(BindingTest, InstalledTableReplacesTheLibraryUntilReset)
{
    ASSERT_TRUE(LoadSCardLibrary(FAKE_PCSCLITE_PATH));
    TSCardApi table;
    table.SCardCancel = [](SCARDCONTEXT) -> LONG { return SCARD_E_NO_SERVICE; };
    {
        TScopedSCardApi scoped(table);
        EXPECT_EQ(smartcard::SCardCancel(1), SCARD_E_NO_SERVICE);
        SCARDCONTEXT context = 0;
        EXPECT_EQ(smartcard::SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context),
                  SCARD_E_INVALID_TARGET);
        EXPECT_EQ(SCardProbe(), 1);
    }
    EXPECT_EQ(smartcard::SCardCancel(1), SCARD_E_INVALID_TARGET);
    EXPECT_NE(SCardApi().SCardEstablishContext, nullptr);
}

std::vector<std::string> g_messages;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message)
{
    if (context.category && std::string(context.category) == "kartovan.smartcard.pcsc")
        g_messages.push_back(message.toStdString());
}

bool Logged(const std::string& part)
{
    return std::any_of(g_messages.begin(), g_messages.end(),
                       [&](const std::string& m) { return m.find(part) != std::string::npos; });
}

TEST_F(BindingTest, TracingLogsEveryCommandAndAnswer)
{
    ASSERT_TRUE(LoadSCardLibrary(FAKE_PCSCLITE_PATH));
    g_messages.clear();
    const auto previous = qInstallMessageHandler(Capture);
    const BYTE command[] = {0x00, 0xA4, 0x02, 0x0C};
    BYTE answer[16] = {};
    DWORD length = sizeof answer;

    SetSCardTrace(false);
    (void)smartcard::SCardTransmit(1, &kT0Pci, command, 4, nullptr, answer, &length);
    EXPECT_TRUE(g_messages.empty());

    SetSCardTrace(true);
    length = sizeof answer;
    (void)smartcard::SCardTransmit(1, &kT0Pci, command, 4, nullptr, answer, &length);
    (void)smartcard::SCardDisconnect(1, SCARD_LEAVE_CARD);
    qInstallMessageHandler(previous);

    EXPECT_TRUE(Logged("command: 00 A4 02 0C"));
    EXPECT_TRUE(Logged("answer: 0C 02 A4 00 90 00"));
    EXPECT_TRUE(Logged("SCardTransmit -> 0x00000000"));
    EXPECT_TRUE(Logged("SCardDisconnect (missing) -> 0x80100005"));
}

TEST_F(BindingTest, TracedAnswerStaysWithinTheReceiveBuffer)
{
    TSCardApi table;
    // A library that fills the buffer and then claims more than it had room for.
    table.SCardTransmit = [](SCARDHANDLE, const SCARD_IO_REQUEST*, LPCBYTE, DWORD, SCARD_IO_REQUEST*, LPBYTE receive,
                             LPDWORD length) -> LONG {
        for (DWORD i = 0; i < *length; ++i)
            receive[i] = static_cast<BYTE>(i + 1);
        *length += 100;
        return SCARD_S_SUCCESS;
    };
    TScopedSCardApi scoped(table);
    g_messages.clear();
    const auto previous = qInstallMessageHandler(Capture);
    SetSCardTrace(true);
    const BYTE command[] = {0x00, 0xB0, 0x00, 0x00, 0x02};
    std::vector<BYTE> answer(4);
    DWORD length = static_cast<DWORD>(answer.size());
    (void)smartcard::SCardTransmit(1, &kT0Pci, command, 5, nullptr, answer.data(), &length);
    SetSCardTrace(false);
    qInstallMessageHandler(previous);

    EXPECT_TRUE(std::find(g_messages.begin(), g_messages.end(), "answer: 01 02 03 04") != g_messages.end());
}

}  // namespace
