// RC4 and RC4 CryptoAPI stream encryption of Excel 97-2003 workbooks: after FILEPASS, every
// record's data is encrypted with an RC4 key stream that runs along the stream offsets
// (record headers use up key bytes but stay plain) and is keyed afresh at every
// 1,024-byte block from the password, the salt and the block number.
#include "xls/workbook_decryption.h"

#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/digests.h"
#include "xls/errors.h"
#include "xls/rc4.h"
#include "xls/record_reader.h"

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace kestrova::xls {

namespace {

constexpr char16_t BuiltinPassword[] = u"VelvetSweatshop";
constexpr size_t BlockSize = 1024;

std::string passwordBytes()
{
    std::string out;
    for (const char16_t *c = BuiltinPassword; *c; ++c) {
        out.push_back(char(*c & 0xFF));
        out.push_back(char(*c >> 8));
    }
    return out;
}

std::string_view view(const uint8_t *p, size_t n)
{
    return {reinterpret_cast<const char *>(p), n};
}

std::string le32(uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// The RC4 key for a block number.
using KeyFor = std::function<std::vector<uint8_t>(uint32_t block)>;

// The MD5-based key of plain RC4 encryption.
KeyFor rc4Key(const uint8_t *salt)
{
    const auto h0 = md5(passwordBytes());
    std::string buffer;
    for (int i = 0; i < 16; ++i) {
        buffer.append(view(h0.data(), 5));
        buffer.append(view(salt, 16));
    }
    const auto h1 = md5(buffer);
    const std::string base(view(h1.data(), 5));
    return [base](uint32_t block) {
        const auto h = md5(base + le32(block));
        return std::vector<uint8_t>(h.begin(), h.end());
    };
}

// The SHA-1-based key of RC4 CryptoAPI encryption; a 40-bit key is padded with zeros to
// 128 bits, as CryptoAPI itself does.
KeyFor cryptoApiKey(const uint8_t *salt, uint32_t keyBits)
{
    const auto h0 = sha1(std::string(view(salt, 16)) + passwordBytes());
    const std::string base(view(h0.data(), h0.size()));
    return [base, keyBits](uint32_t block) {
        const auto h = sha1(base + le32(block));
        std::vector<uint8_t> key(h.begin(), h.begin() + keyBits / 8);
        if (keyBits == 40)
            key.resize(16, 0);
        return key;
    };
}

// Decrypts the verifier and its hash with the key of block 0, as one key stream; true when
// the hash matches, that is when the built-in password is the workbook's password.
template <typename Digest>
bool verifies(const KeyFor &key, const uint8_t *encryptedVerifier, const uint8_t *encryptedHash, Digest &&digest,
              size_t hashSize)
{
    const auto k = key(0);
    Rc4 rc4(k.data(), k.size());
    uint8_t verifier[16], hash[20];
    for (size_t i = 0; i < 16; ++i)
        verifier[i] = encryptedVerifier[i] ^ rc4.next();
    for (size_t i = 0; i < hashSize; ++i)
        hash[i] = encryptedHash[i] ^ rc4.next();
    const auto expected = digest(view(verifier, 16));
    return std::memcmp(expected.data(), hash, hashSize) == 0;
}

// The key for the FILEPASS data, once the built-in password is known to open it.
KeyFor keyOf(const Record &r, const std::string &what)
{
    const auto refuse = [&what](const char *kind) { throw XlsError(ErrorCode::Encrypted, what + "（" + kind + "）"); };
    requireSize(r, 6);
    const uint8_t *d = r.data;
    if (rd16(d) == 0)
        refuse("XOR加密");
    if (rd16(d) != 1)
        refuse("未知的加密方式");
    const uint16_t major = rd16(d + 2), minor = rd16(d + 4);
    if (major == 1 && minor == 1) {
        requireSize(r, 6 + 48);
        KeyFor key = rc4Key(d + 6);
        if (!verifies(key, d + 22, d + 38, [](std::string_view v) { return md5(v); }, 16))
            refuse("RC4加密");
        return key;
    }
    if (major >= 2 && major <= 4 && minor == 2) {
        // flags (4), header size (4), header: flags, size extra, algorithm, hash algorithm, key size, ...
        requireSize(r, 14);
        const uint32_t headerSize = rd32(d + 10);
        if (headerSize < 32 || headerSize > r.size - 14u || r.size - 14u - headerSize < 4 + 16 + 16 + 4 + 20)
            throwBadRecord(r, "加密信息不完整");
        const uint8_t *header = d + 14;
        const uint32_t algorithm = rd32(header + 8), hash = rd32(header + 12);
        uint32_t keyBits = rd32(header + 16);
        if (keyBits == 0)
            keyBits = 40;
        if ((algorithm != 0 && algorithm != 0x6801) || (hash != 0 && hash != 0x8004) || keyBits < 40 || keyBits > 128 ||
            keyBits % 8 != 0)
            refuse("RC4 CryptoAPI，不支持的算法");
        const uint8_t *verifier = header + headerSize;
        if (rd32(verifier) != 16 || rd32(verifier + 36) != 20)
            throwBadRecord(r, "加密信息有误");
        // A 40-bit key is the first 5 bytes of the digest and 11 zeros; some writers use the
        // first 16 bytes whatever the size says. The verifier tells which.
        for (const uint32_t bits : {keyBits, keyBits == 40 ? 128u : 0u}) {
            if (bits == 0)
                continue;
            KeyFor key = cryptoApiKey(verifier + 4, bits);
            if (verifies(key, verifier + 20, verifier + 40, [](std::string_view v) { return sha1(v); }, 20))
                return key;
        }
        refuse("RC4 CryptoAPI加密");
    }
    refuse("未知的RC4版本");
    return {};
}

// Records whose data is never encrypted.
bool alwaysPlain(uint16_t type)
{
    constexpr uint16_t UsrExcl = 0x0194, FileLock = 0x0195, RrdInfo = 0x0196, RrdHead = 0x0138;
    return type == rec::Bof || type == rec::FilePass || type == rec::InterfaceHdr || type == UsrExcl ||
           type == FileLock || type == RrdInfo || type == RrdHead;
}

// The key stream along the stream's offsets; offsets are asked for in increasing order.
class KeyStream
{
public:
    explicit KeyStream(KeyFor key) : m_key(std::move(key)) {}
    uint8_t at(size_t offset)
    {
        const size_t block = offset / BlockSize;
        if (!m_rc4 || block != m_block) {
            const auto k = m_key(uint32_t(block));
            m_rc4 = std::make_unique<Rc4>(k.data(), k.size());
            m_block = block;
            m_next = block * BlockSize;
        }
        for (; m_next < offset; ++m_next)
            m_rc4->next();
        ++m_next;
        return m_rc4->next();
    }

private:
    KeyFor m_key;
    std::unique_ptr<Rc4> m_rc4;
    size_t m_block = 0, m_next = 0;
};

// Moves every stream offset past the removed FILEPASS record back by its length: the sheet
// positions and the absolute offsets in each sheet's INDEX.
void shiftOffsets(std::string &stream, size_t removedAt, size_t removed)
{
    auto *bytes = reinterpret_cast<uint8_t *>(stream.data());
    auto shift = [&](uint8_t *p) {
        const uint32_t v = rd32(p);
        if (v > removedAt)
            put32(p, uint32_t(v - removed));
    };
    RecordReader reader(stream, 0);
    Record r;
    try {
        while (reader.next(r)) {
            uint8_t *data = bytes + r.offset + 4;
            if (r.type == rec::BoundSheet && r.size >= 4)
                shift(data);
            else if (r.type == rec::Index && r.size >= 16)
                for (size_t k = 12; k + 4 <= r.size; k += 4) // DEFCOLWIDTH's, then each DBCELL's offset
                    if (rd32(data + k) != 0)
                        shift(data + k);
        }
    } catch (const XlsError &) {
        // A damaged tail: the parse that follows says what is wrong with it.
    }
}

} // namespace

void removeBuiltinPasswordEncryption(std::string &stream, const std::string &what)
{
    // FILEPASS follows the globals' BOF (after a WRITEPROT at most): a few records suffice.
    RecordReader reader(stream, 0);
    Record r;
    bool found = false;
    for (int n = 0; n < 8 && reader.next(r); ++n) {
        if (r.type == rec::FilePass) {
            found = true;
            break;
        }
        if (r.type == rec::Eof)
            return;
    }
    if (!found)
        return;
    const Record filePass = r;
    KeyStream keys(keyOf(filePass, what));
    auto *bytes = reinterpret_cast<uint8_t *>(stream.data());
    // Decrypts what the record headers say is there; a record running past the end is
    // left for the parse to report.
    size_t at = filePass.end();
    while (stream.size() - at >= 4) {
        const uint16_t type = rd16(bytes + at), size = rd16(bytes + at + 2);
        const size_t data = at + 4;
        if (size > stream.size() - data)
            break;
        if (!alwaysPlain(type))
            for (size_t k = type == rec::BoundSheet ? 4 : 0; k < size; ++k)
                bytes[data + k] ^= keys.at(data + k);
        at = data + size;
    }
    const size_t removed = filePass.end() - filePass.offset;
    stream.erase(filePass.offset, removed);
    shiftOffsets(stream, filePass.offset, removed);
}

} // namespace kestrova::xls
