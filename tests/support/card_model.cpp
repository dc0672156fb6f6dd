#include "tests/support/card_model.h"

#include <QCryptographicHash>

#include <algorithm>
#include <set>
#include <utility>

namespace testsupport {

namespace {

// One short command APDU split into its parts; Lc and Le are checked against the length.
struct Apdu {
    std::uint8_t cla = 0, ins = 0, p1 = 0, p2 = 0;
    std::span<const std::uint8_t> data;
    std::optional<std::size_t> le;
    bool wellFormed = false;
};

Apdu Parse(std::span<const std::uint8_t> c)
{
    Apdu a;
    if (c.size() < 4)
        return a;
    a.cla = c[0];
    a.ins = c[1];
    a.p1 = c[2];
    a.p2 = c[3];
    if (c.size() == 4) {
        a.wellFormed = true;
    } else if (c.size() == 5) {
        a.le = c[4] == 0 ? 256 : c[4];
        a.wellFormed = true;
    } else {
        const std::size_t lc = c[4];
        if (lc == 0)  // extended length: not on this card
            return a;
        if (c.size() == 5 + lc || c.size() == 6 + lc) {
            a.data = c.subspan(5, lc);
            if (c.size() == 6 + lc)
                a.le = c[5 + lc] == 0 ? 256 : c[5 + lc];
            a.wellFormed = true;
        }
    }
    return a;
}

Bytes Sw(std::uint16_t sw) { return Bytes{static_cast<std::uint8_t>(sw >> 8), static_cast<std::uint8_t>(sw & 0xFF)}; }

Bytes WithOk(Bytes data)
{
    data.push_back(0x90);
    data.push_back(0x00);
    return data;
}

Bytes Sha1(std::span<const std::uint8_t> data)
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size())),
        QCryptographicHash::Sha1);
    return Bytes(digest.begin(), digest.end());
}

// 128 bytes that depend on every bit of the hash and on the FID.
Bytes SignatureFromHash(std::uint16_t fid, const Bytes& sha1)
{
    Bytes signature;
    for (std::uint8_t block = 0; signature.size() < 128; ++block) {
        Bytes input = sha1;
        input.push_back(static_cast<std::uint8_t>(fid >> 8));
        input.push_back(static_cast<std::uint8_t>(fid & 0xFF));
        input.push_back(block);
        const Bytes part = Sha1(input);
        signature.insert(signature.end(), part.begin(), part.end());
    }
    signature.resize(128);
    return signature;
}

}  // namespace

const Bytes& AtrT0()
{
    static const Bytes atr{0x3B, 0x80, 0x00};  // TD1 names T=0 and nothing else
    return atr;
}

const Bytes& AtrT1Only()
{
    static const Bytes atr{0x3B, 0x80, 0x01, 0x81};  // TD1 names T=1; TCK follows
    return atr;
}

const Bytes& TachographAid()
{
    static const Bytes aid{0xFF, 0x54, 0x41, 0x43, 0x48, 0x4F};
    return aid;
}

Bytes ExpectedSignature(std::uint16_t fid, std::span<const std::uint8_t> body)
{
    return SignatureFromHash(fid, Sha1(body));
}

namespace {

std::mutex& LiveModelsMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::set<const CardModel*>& LiveModels()
{
    static std::set<const CardModel*> models;
    return models;
}

}  // namespace

CardModel::CardModel(CardFiles files) : files_(std::move(files))
{
    const std::lock_guard lock(LiveModelsMutex());
    LiveModels().insert(this);
}

CardModel::~CardModel()
{
    const std::lock_guard lock(LiveModelsMutex());
    LiveModels().erase(this);
}

bool CardModel::Alive(const CardModel* card)
{
    const std::lock_guard lock(LiveModelsMutex());
    return LiveModels().contains(card);
}

Bytes CardModel::Transmit(std::span<const std::uint8_t> command)
{
    const std::lock_guard lock(mutex_);
    const std::size_t n = log_.size() + 1;
    Bytes answer;
    if (!(removeAfter_ && log_.size() >= *removeAfter_)) {
        const auto fault = faults_.find(n);
        if (fault != faults_.end() && fault->second.statusWord) {
            answer = Sw(*fault->second.statusWord);
        } else {
            answer = Process(command);
            if (fault != faults_.end()) {
                const auto change = fault->second.lengthChange;
                const auto data = static_cast<std::ptrdiff_t>(answer.size()) - 2;
                const auto at = answer.end() - 2;
                if (change < 0)
                    answer.erase(at - std::min(-change, data), at);
                else
                    answer.insert(at, static_cast<std::size_t>(change), std::uint8_t{0xA5});
            }
        }
    }
    log_.push_back(ApduExchange{Bytes(command.begin(), command.end()), answer});
    return answer;
}

void CardModel::Reset()
{
    const std::lock_guard lock(mutex_);
    inApplication_ = false;
    currentEf_.reset();
    hash_.reset();
}

Bytes CardModel::Atr() const
{
    const std::lock_guard lock(mutex_);
    return t1Only_ ? AtrT1Only() : AtrT0();
}

bool CardModel::Removed() const
{
    const std::lock_guard lock(mutex_);
    return removeAfter_ && log_.size() >= *removeAfter_;
}

std::vector<ApduExchange> CardModel::Log() const
{
    const std::lock_guard lock(mutex_);
    return log_;
}

std::size_t CardModel::CommandCount() const
{
    const std::lock_guard lock(mutex_);
    return log_.size();
}

void CardModel::FailWithStatus(std::size_t n, std::uint16_t statusWord)
{
    const std::lock_guard lock(mutex_);
    faults_[n].statusWord = statusWord;
}

void CardModel::ShortenAnswer(std::size_t n, std::size_t missingBytes)
{
    const std::lock_guard lock(mutex_);
    faults_[n].lengthChange = -static_cast<std::ptrdiff_t>(missingBytes);
}

void CardModel::LengthenAnswer(std::size_t n, std::size_t extraBytes)
{
    const std::lock_guard lock(mutex_);
    faults_[n].lengthChange = static_cast<std::ptrdiff_t>(extraBytes);
}

void CardModel::RemoveAfter(std::size_t n)
{
    const std::lock_guard lock(mutex_);
    removeAfter_ = n;
}

void CardModel::OfferOnlyT1()
{
    const std::lock_guard lock(mutex_);
    t1Only_ = true;
}

Bytes CardModel::Process(std::span<const std::uint8_t> command)
{
    const Apdu a = Parse(command);
    if (!a.wellFormed)
        return Sw(kSwWrongLength);
    if (a.cla == 0x00) {
        switch (a.ins) {
        case 0xA4:
            return a.data.empty() ? Sw(kSwWrongLength) : Select(a.p1, a.p2, a.data);
        case 0xB0:
            return a.le && a.data.empty() ? ReadBinary(a.p1, a.p2, *a.le) : Sw(kSwWrongLength);
        case 0x2A:
            if (a.p1 != 0x9E || a.p2 != 0x9A)
                return Sw(kSwWrongP1P2);
            return a.le && a.data.empty() ? ComputeSignature(*a.le) : Sw(kSwWrongLength);
        default:
            return Sw(kSwInsNotSupported);
        }
    }
    if (a.cla == 0x80) {
        if (a.ins != 0x2A)
            return Sw(kSwInsNotSupported);
        if (a.p1 != 0x90 || a.p2 != 0x00)
            return Sw(kSwWrongP1P2);
        return a.le || !a.data.empty() ? Sw(kSwWrongLength) : PerformHash();
    }
    return Sw(kSwClaNotSupported);
}

Bytes CardModel::Select(std::uint8_t p1, std::uint8_t p2, std::span<const std::uint8_t> data)
{
    if (p2 != 0x0C)
        return Sw(kSwWrongP1P2);
    if (p1 == 0x04) {
        if (!std::ranges::equal(data, TachographAid()))
            return Sw(kSwFileNotFound);
        inApplication_ = true;
        currentEf_.reset();
        return Sw(kSwOk);
    }
    if (p1 != 0x02)
        return Sw(kSwWrongP1P2);
    if (data.size() != 2)
        return Sw(kSwWrongLength);
    const auto fid = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
    // Each EF is found only under its own DF: the card-level files under the master file,
    // the others inside the tachograph application.
    if (!files_.contains(fid) || IsCardLevelFile(fid) == inApplication_)
        return Sw(kSwFileNotFound);
    currentEf_ = fid;
    return Sw(kSwOk);
}

const Bytes* CardModel::CurrentBody() const
{
    if (!currentEf_)
        return nullptr;
    return &files_.at(*currentEf_);
}

Bytes CardModel::ReadBinary(std::uint8_t p1, std::uint8_t p2, std::size_t le)
{
    if (p1 & 0x80)  // short EF identifier in P1: not supported
        return Sw(kSwWrongP1P2);
    const Bytes* body = CurrentBody();
    if (!body)
        return Sw(kSwNoCurrentEf);
    const std::size_t offset = std::size_t{p1} << 8 | p2;
    if (offset > body->size())
        return Sw(kSwWrongOffset);
    if (offset + le > body->size())
        return Sw(kSwWrongLength);
    const auto from = body->begin() + static_cast<std::ptrdiff_t>(offset);
    return WithOk(Bytes(from, from + static_cast<std::ptrdiff_t>(le)));
}

Bytes CardModel::PerformHash()
{
    const Bytes* body = CurrentBody();
    if (!body)
        return Sw(kSwNoCurrentEf);
    hash_ = Hash{*currentEf_, Sha1(*body)};
    return Sw(kSwOk);
}

Bytes CardModel::ComputeSignature(std::size_t le)
{
    if (le != 128 && le != 256)
        return Sw(kSwWrongLength);
    if (!hash_)
        return Sw(kSwConditionsNotSatisfied);
    return WithOk(SignatureFromHash(hash_->fid, hash_->sha1));
}

}  // namespace testsupport
