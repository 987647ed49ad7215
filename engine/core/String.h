// The engine's byte-string value type: paths, names, captions, formatted text.
// Every copy owns an exact-size buffer (no sharing, no spare capacity); text
// is plain bytes with no notion of character sets. A length that would not
// fit the 32-bit count fails like an allocation (std::bad_alloc).
#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>

class String
{
public:
    String() = default;
    String(const char* text);
    String(const char* bytes, unsigned count);
    String(const String& other);
    String(String&& other) noexcept;
    ~String() = default;

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;

    // The longest text a String holds, so that its terminator still counts.
    static constexpr unsigned MaxLength = 0xFFFFFFFEu;

    unsigned GetLength() const { return m_length; }
    const char* GetText() const { return m_text ? m_text.get() : ""; }
    char GetAt(unsigned pos) const { return pos < m_length ? m_text[pos] : 0; }

    int Compare(const String& other) const;
    bool operator==(const String& other) const { return Compare(other) == 0; }
    bool operator!=(const String& other) const { return Compare(other) != 0; }

    int Find(const String& needle, unsigned start, unsigned count) const;
    int Find(const String& needle, unsigned start) const;
    int Find(const String& needle) const;
    bool EndsWith(const String& suffix) const;

    String& Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    String& FormatV(const char* format, va_list args);
    String& Insert(unsigned pos, const String& other);
    String& Append(const String& other);
    String& Erase(unsigned pos, unsigned count);
    String& ToLower();

    String operator+(const String& other) const;
    String SubString(unsigned start, unsigned count) const;
    String SubString(unsigned start) const;
    String GetToken(const char* delimiter, unsigned index) const;

private:
    // Replaces the buffer with a fresh one of exactly `length` + 1 bytes.
    void Assign(const char* bytes, uint64_t length);
    // Takes a zero-terminated buffer of `length` + 1 bytes.
    void Take(std::unique_ptr<char[]> text, uint64_t length);

    std::unique_ptr<char[]> m_text;
    uint32_t m_length = 0;
};
