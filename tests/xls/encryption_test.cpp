// Workbooks saved with a password to open. Excel encrypts a workbook whose structure is
// protected with its built-in password and opens it without asking, as LibreOffice does:
// so must we, for RC4 (what LibreOffice saves) and RC4 CryptoAPI (built by a test-only
// encryptor, which LibreOffice must open too). A workbook with a password of its own is
// refused with a message saying a password is needed.
#include "xls/compound_file.h"
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls/template_filler.h"
#include "oracles.h"

#include <gtest/gtest.h>

using namespace kestrova::xls;
using xlstest::Grid;
using xlstest::TempDir;

namespace {

bool haveUno()
{
    return std::system((xlstest::python() + " -c 'import uno' >/dev/null 2>&1").c_str()) == 0;
}

// A Workbook stream from encrypt_cryptoapi.py, in a compound file.
void cryptoApiWorkbook(const std::string &plain, const std::string &out, const std::string &password, int keyBits,
                       bool fullKey = false)
{
    xlstest::runPython(xlstest::script("encrypt_cryptoapi.py") + " " + plain + " " + out + ".stream '" + password + "' " +
              std::to_string(keyBits) + (fullKey ? " --full-key" : ""));
    const std::string stream = xlstest::readFile(out + ".stream");
    CompoundFileWriter w(out);
    w.write(stream.data(), stream.size());
    w.commit();
}

void expectPasswordNeeded(const std::string &path)
{
    SCOPED_TRACE(path);
    try {
        WorkbookReader::open(path);
        ADD_FAILURE() << "an encrypted workbook was read without its password";
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), ErrorCode::Encrypted);
        EXPECT_NE(std::string(e.what()).find("需要输入密码"), std::string::npos) << e.what();
    }
    try {
        TemplateFiller filler(path);
        ADD_FAILURE() << "the filler opened an encrypted template without its password";
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), ErrorCode::Encrypted);
    }
}

TEST(XlsEncryption, BuiltinPasswordOpensWhatOtherProgramsOpenAndOtherPasswordsAreRefused)
{
    if (!xlstest::haveSoffice() || !haveUno())
        GTEST_SKIP() << "soffice or python3-uno not installed";
    TempDir dir;
    const std::string plain = dir.file("plain.xls");
    ASSERT_TRUE(xlstest::runPython(xlstest::script("make_xlwt_rows.py") + " " + plain + " 400")); // 20 KB: many key blocks
    bool ok = false;
    const Grid expected = xlstest::xlrdGrid(plain, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(expected.size(), 401u);

    // LibreOffice's RC4, with the built-in password and with passwords of their own.
    xlstest::runPython(xlstest::script("lo_save_encrypted.py") + " " + plain + " " + dir.file("rc4.xls") + " VelvetSweatshop " +
              dir.file("rc4-secret.xls") + " secret " + dir.file("rc4-chinese.xls") + " 粮库密码");
    cryptoApiWorkbook(plain, dir.file("capi40.xls"), "VelvetSweatshop", 40);
    cryptoApiWorkbook(plain, dir.file("capi40-full.xls"), "VelvetSweatshop", 40, true);
    cryptoApiWorkbook(plain, dir.file("capi128.xls"), "VelvetSweatshop", 128);
    cryptoApiWorkbook(plain, dir.file("capi-secret.xls"), "secret", 128);

    xlstest::xlrdGrid(dir.file("rc4.xls"), ok);
    EXPECT_FALSE(ok) << "xlrd reads no encrypted workbook: the files really are encrypted";
    for (const char *name : {"rc4", "capi40", "capi40-full", "capi128"})
        EXPECT_EQ(xlstest::trimmed(readSheetCells(dir.file(std::string(name) + ".xls"), "数据信息")), expected) << name;
    // LibreOffice takes every CryptoAPI key as 128 bits, so it opens the 40-bit file only in
    // that form; the padded one follows the format documents alone.
    const auto shown = xlstest::libreOfficeSheets(dir, {dir.file("rc4.xls"), dir.file("capi40-full.xls"), dir.file("capi128.xls")});
    for (const char *name : {"rc4", "capi40-full", "capi128"}) {
        ASSERT_TRUE(shown.count(name)) << "LibreOffice did not open " << name << ".xls without a password";
        EXPECT_EQ(shown.at(name), expected) << name;
    }
    for (const char *name : {"rc4-secret", "rc4-chinese", "capi-secret"})
        expectPasswordNeeded(dir.file(std::string(name) + ".xls"));

    // A filled copy of an encrypted template is a plain workbook that xlrd reads whole:
    // the sheet positions moved with the removed encryption record.
    TemplateFiller filler(dir.file("rc4.xls"));
    filler.setText(0, 1, 0, "已填写");
    filler.setText(1, 0, 1, "第二表");
    filler.save(dir.file("filled.xls"));
    Grid filled = expected;
    filled[1][0] = "已填写";
    EXPECT_EQ(xlstest::xlrdGrid(dir.file("filled.xls"), ok), filled);
    EXPECT_TRUE(ok);
    EXPECT_EQ(xlstest::xlrdGrid(dir.file("filled.xls"), ok, "修改日志"), (Grid{{"日志", "第二表"}}));
}

// Damaged encryption records are refused as damaged or encrypted, never read past.
TEST(XlsEncryption, DamagedEncryptionRecordsAreRefused)
{
    TempDir dir;
    using S = xlstest::StreamBuilder;
    auto withFilePass = [&](const std::string &name, const std::string &data) {
        S b;
        b.globals({"数据信息"}, {}, {}, false, "");
        b.sheet(S::rec(0x0203, S::cell(0, 0, 15) + S::f64(1)));
        const size_t bofEnd = 4 + 16;
        b.b.bytes.insert(bofEnd, S::rec(0x002F, data));
        b.b.patch32(b.b.bytes.find('\x85') + 4, uint32_t(b.b.bytes.find(std::string("\x09\x08\x10\x00\x00\x06\x10", 7))));
        b.save(dir.file(name));
        return dir.file(name);
    };
    auto expectCode = [](const std::string &path, ErrorCode code) {
        try {
            WorkbookReader::open(path).readSheet("数据信息");
            ADD_FAILURE() << path << " was read";
        } catch (const XlsError &e) {
            EXPECT_EQ(e.code(), code) << path << ": " << e.what();
        }
    };
    expectCode(withFilePass("xor.xls", S::u16(0) + S::u16(0x1234) + S::u16(0x5678)), ErrorCode::Encrypted);
    expectCode(withFilePass("rc4-short.xls", S::u16(1) + S::u16(1) + S::u16(1) + std::string(20, '\0')), ErrorCode::BadRecord);
    expectCode(withFilePass("rc4-wrong.xls", S::u16(1) + S::u16(1) + S::u16(1) + std::string(48, '\x5A')), ErrorCode::Encrypted);
    // CryptoAPI whose header claims more bytes than the record holds.
    expectCode(withFilePass("capi-cut.xls", S::u16(1) + S::u16(4) + S::u16(2) + S::u32(4) + S::u32(4000) + std::string(40, '\0')),
               ErrorCode::BadRecord);
    expectCode(withFilePass("unknown.xls", S::u16(1) + S::u16(9) + S::u16(9)), ErrorCode::Encrypted);
}

} // namespace
