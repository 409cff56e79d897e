#pragma once
// The RC4 stream cipher of the workbook encryption.
#include <cstddef>
#include <cstdint>
#include <utility>

namespace kestrova::xls {

class Rc4
{
public:
    Rc4(const uint8_t *key, size_t size)
    {
        for (int k = 0; k < 256; ++k)
            m_s[k] = uint8_t(k);
        uint8_t j = 0;
        for (int k = 0; k < 256; ++k) {
            j = uint8_t(j + m_s[k] + key[size_t(k) % size]);
            std::swap(m_s[k], m_s[j]);
        }
    }
    uint8_t next()
    {
        m_i = uint8_t(m_i + 1);
        m_j = uint8_t(m_j + m_s[m_i]);
        std::swap(m_s[m_i], m_s[m_j]);
        return m_s[uint8_t(m_s[m_i] + m_s[m_j])];
    }

private:
    uint8_t m_s[256];
    uint8_t m_i = 0, m_j = 0;
};

} // namespace kestrova::xls
