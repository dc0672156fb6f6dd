// The card component's command and answer APDUs.
#include "smartcard/apdu_status.h"
#include "smartcard/apdudemocard.h"
#include "smartcard/hextext.h"
#include "smartcard/smartcard_reader.h"

#include <stdexcept>

namespace smartcard {
namespace {

constexpr int kLcPosition = 4;
constexpr int kDataPosition = 5;
constexpr int kMaxLc = 255;

}  // namespace

void TAPDUDemoCard::Transmit()
{
    answer_.SetLength(0);
    if (!reader_)
        throw std::runtime_error("Reader not selected!");
    if (!reader_->IsConnected())
        throw std::runtime_error("Not connected to a card!");
    reader_->SendBuffer().Assign(command_);
    // Exactly the answer buffer's room: a longer answer fails instead of growing it.
    reader_->ReceiveBuffer().SetCapacity(-kAnswerCapacity);
    reader_->Transmit();
    answer_.Assign(reader_->ReceiveBuffer());
    if (answer_.Length() >= 2) {
        sw1_ = answer_.ByteFromEnd(2);
        sw2_ = answer_.ByteFromEnd(1);
        sw_ = sw1_ * 256 + sw2_;
    } else {
        sw1_ = sw2_ = 0;
        sw_ = 0;
    }
}

int TAPDUDemoCard::Execute()
{
    sw1_ = sw2_ = 0;
    sw_ = 0;
    Transmit();
    return IsError() ? 2 : 0;
}

std::string TAPDUDemoCard::StatusText() const { return ApduStatusText(sw_); }

std::string TAPDUDemoCard::AnswerHex() const { return answer_.SaveHex(0); }

int TAPDUDemoCard::GetAnswerBytes(unsigned char* dest, int index, int count) const
{
    return dest ? answer_.ReadAt(dest, index, count) : 0;
}

int TAPDUDemoCard::GetAtrBytes(unsigned char* dest, int index, int count) const
{
    if (!dest || index < 0 || count < 0 || index + count > atr_.Length())
        return 0;
    std::copy_n(atr_.Bytes() + index, count, dest);
    return count;
}

void TAPDUDemoCard::SetCommandData(const unsigned char* data, int index, int count)
{
    if (index < 0 || count < 0 || (count > 0 && !data))
        return;
    if (index == 0 && count > kMaxLc)
        throw std::length_error("Command data too long");
    command_.WriteAt(data, kDataPosition + index, count);
    if (index == 0) {
        if (command_.Length() < kDataPosition)
            command_.SetLength(kDataPosition);
        command_.SetByte(kLcPosition, static_cast<unsigned char>(count));
    }
}

void TAPDUDemoCard::SetCommand(const std::vector<unsigned char>& bytes) { command_.SetBytes(bytes); }

void TAPDUDemoCard::SetCommandDataHex(std::uint32_t value, int count)
{
    if (count < 0 || count > 4)
        return;
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    command_.LoadHexAt(kLcPosition, count, BytesToHex(bytes, count));
}

void TAPDUDemoCard::SetCommandHexAt(int index, int count, std::string_view hex)
{
    command_.LoadHexAt(index, count, hex);
}

void TAPDUDemoCard::SetHeader(unsigned char cla, unsigned char ins, unsigned char p1, unsigned char p2)
{
    command_.SetHeader(PackApduHeader(cla, ins, p1, p2));
}

void TAPDUDemoCard::SetCommandHex(std::string_view hex) { command_.LoadHex(0, hex); }

}  // namespace smartcard
