#include "core/String.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace
{

// Lengths are summed in 64 bits and checked here, before anything is
// allocated: a wrapped 32-bit sum would allocate too little and copy past it.
std::unique_ptr<char[]> NewText(uint64_t length)
{
    if (length > String::MaxLength)
        throw std::bad_alloc();
    return std::unique_ptr<char[]>(new char[static_cast<size_t>(length) + 1]);
}

} // namespace

String::String(const char* text)
{
    if (text)
        Assign(text, std::strlen(text));
}

String::String(const char* bytes, unsigned count)
{
    if (bytes && count)
        Assign(bytes, count);
}

String::String(const String& other)
{
    if (other.m_text)
        Assign(other.m_text.get(), other.m_length);
}

String::String(String&& other) noexcept
    : m_text(std::move(other.m_text)), m_length(std::exchange(other.m_length, 0))
{
}

String& String::operator=(const String& other)
{
    if (this == &other)
        return *this;
    if (other.m_text)
        Assign(other.m_text.get(), other.m_length);
    else
    {
        m_text.reset();
        m_length = 0;
    }
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other)
    {
        m_text = std::move(other.m_text);
        m_length = std::exchange(other.m_length, 0);
    }
    return *this;
}

void String::Assign(const char* bytes, uint64_t length)
{
    // Copy before freeing: `bytes` may point into our own buffer.
    std::unique_ptr<char[]> text = NewText(length);
    if (length)
        std::memcpy(text.get(), bytes, static_cast<size_t>(length));
    text[static_cast<size_t>(length)] = 0;
    Take(std::move(text), length);
}

void String::Take(std::unique_ptr<char[]> text, uint64_t length)
{
    m_text = std::move(text);
    m_length = static_cast<uint32_t>(length);
}

int String::Compare(const String& other) const
{
    const auto* a = reinterpret_cast<const unsigned char*>(GetText());
    const auto* b = reinterpret_cast<const unsigned char*>(other.GetText());
    const unsigned common = m_length < other.m_length ? m_length : other.m_length;
    // memcmp compares as unsigned bytes, word-wise where it can.
    const int diff = common ? std::memcmp(a, b, common) : 0;
    if (diff != 0)
        return diff < 0 ? -1 : 1;
    if (m_length == other.m_length)
        return 0;
    return m_length < other.m_length ? -1 : 1;
}

int String::Find(const String& needle, unsigned start, unsigned count) const
{
    const uint64_t end64 = static_cast<uint64_t>(start) + count;
    const unsigned end = end64 < m_length ? static_cast<unsigned>(end64) : m_length;
    const unsigned n = needle.m_length;
    if (n == 0 || start >= end || end - start < n)
        return -1;
    for (unsigned p = start; p + n <= end; ++p)
    {
        unsigned k = 0;
        while (k < n && m_text[p + k] == needle.m_text[k])
            ++k;
        if (k == n)
            return static_cast<int>(p);
    }
    return -1;
}

int String::Find(const String& needle, unsigned start) const
{
    return Find(needle, start, start < m_length ? m_length - start : 0);
}

int String::Find(const String& needle) const
{
    return Find(needle, 0, m_length);
}

bool String::EndsWith(const String& suffix) const
{
    if (suffix.m_length > m_length)
        return false;
    return suffix.m_length == 0 || std::memcmp(m_text.get() + m_length - suffix.m_length,
                                               suffix.m_text.get(), suffix.m_length) == 0;
}

String& String::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
    return *this;
}

String& String::FormatV(const char* format, va_list args)
{
    int length = -1;
    if (format)
    {
        va_list measure;
        va_copy(measure, args);
        length = std::vsnprintf(nullptr, 0, format, measure);
        va_end(measure);
    }
    // The old text is freed only after formatting: the format or an argument
    // may be our own text, as in appending a character with "%s%c".
    if (length <= 0)
    {
        m_text.reset();
        m_length = 0;
        return *this;
    }
    std::unique_ptr<char[]> text = NewText(static_cast<uint64_t>(length));
    std::vsnprintf(text.get(), static_cast<size_t>(length) + 1, format, args);
    Take(std::move(text), static_cast<uint64_t>(length));
    return *this;
}

String& String::Insert(unsigned pos, const String& other)
{
    if (pos > m_length)
        pos = m_length;
    const uint64_t length = uint64_t(m_length) + other.m_length;
    std::unique_ptr<char[]> text = NewText(length);
    if (pos)
        std::memcpy(text.get(), m_text.get(), pos);
    if (other.m_length)
        std::memcpy(text.get() + pos, other.m_text.get(), other.m_length);
    if (m_length > pos)
        std::memcpy(text.get() + pos + other.m_length, m_text.get() + pos, m_length - pos);
    text[static_cast<size_t>(length)] = 0;
    Take(std::move(text), length);
    return *this;
}

String& String::Append(const String& other)
{
    return Insert(m_length, other);
}

String& String::Erase(unsigned pos, unsigned count)
{
    if (pos > m_length)
        pos = m_length;
    if (count > m_length - pos)
        count = m_length - pos;
    if (count == 0)
        return *this;
    const unsigned length = m_length - count;
    std::unique_ptr<char[]> text = NewText(length);
    std::memcpy(text.get(), m_text.get(), pos);
    std::memcpy(text.get() + pos, m_text.get() + pos + count, m_length - pos - count);
    text[length] = 0;
    Take(std::move(text), length);
    return *this;
}

String& String::ToLower()
{
    for (unsigned i = 0; i < m_length; ++i)
        if (m_text[i] >= 'A' && m_text[i] <= 'Z')
            m_text[i] = static_cast<char>(m_text[i] + ('a' - 'A'));
    return *this;
}

String String::operator+(const String& other) const
{
    String result(*this);
    result.Append(other);
    return result;
}

String String::SubString(unsigned start, unsigned count) const
{
    String result(*this);
    const uint64_t end = static_cast<uint64_t>(start) + count;
    if (end < m_length)
        result.Erase(static_cast<unsigned>(end), m_length);
    result.Erase(0, start);
    return result;
}

String String::SubString(unsigned start) const
{
    return SubString(start, m_length);
}

String String::GetToken(const char* delimiter, unsigned index) const
{
    const String delim(delimiter);
    if (delim.m_length == 0)
        return index == 0 ? *this : String();
    unsigned begin = 0;
    for (unsigned i = 0; i < index; ++i)
    {
        const int at = Find(delim, begin);
        if (at < 0)
            return String();
        begin = static_cast<unsigned>(at) + delim.m_length;
    }
    const int next = Find(delim, begin);
    const unsigned end = next < 0 ? m_length : static_cast<unsigned>(next);
    return String(GetText() + begin, end - begin);
}
