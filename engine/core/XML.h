// Element tree read from the engine's XML data files (through expat), also
// used as a plain data container by the directory listing. Nodes own their
// children; copying, clearing and destroying walk the tree without recursion,
// so hostile nesting depth cannot exhaust the stack.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/String.h"

class CXMLAttribute
{
public:
    CXMLAttribute() = default;
    CXMLAttribute(const String& name, const String& value);

    const String& GetName() const { return m_name; }
    const String& GetValue() const { return m_value; }

    int AsInt() const;
    float AsFloat() const;
    // Lower-cases the stored value first, and leaves it lowered: later reads
    // see the lowered text.
    bool AsBool() const;

    void SetValue(const String& value);
    void SetValue(int value);

private:
    String m_name;
    // Mutable so that AsBool, a read, lowers it even in a const tree.
    mutable String m_value;
};

class CXMLNode
{
public:
    CXMLNode() = default;
    // A copy is parented like its source; the source is left untouched.
    CXMLNode(const CXMLNode& source);
    CXMLNode(CXMLNode&& source) noexcept;
    // Assignment replaces the contents but keeps this node's own place
    // (parent) in its tree, so `node = *node.GetChild(0)` stays sound.
    CXMLNode& operator=(const CXMLNode& source);
    CXMLNode& operator=(CXMLNode&& source) noexcept;
    ~CXMLNode();

    // Empties name, text, attributes and children; the parent link stays.
    void Clear() noexcept;

    // Appends a copy (or the moved node) as the last child and returns it.
    CXMLNode* AddChild(const CXMLNode& node);
    CXMLNode* AddChild(CXMLNode&& node);
    void AddAttribute(const CXMLAttribute& attribute);

    const String& GetName() const { return m_name; }
    const String& GetText() const { return m_text; }
    void SetName(const String& name) { m_name = name; }
    void SetText(const String& text) { m_text = text; }
    CXMLNode* GetParent() const { return m_parent; }

    unsigned GetChildCount() const { return static_cast<unsigned>(m_children.size()); }
    CXMLNode* GetChild(unsigned index);
    const CXMLNode* GetChild(unsigned index) const;

    unsigned GetAttributeCount() const { return static_cast<unsigned>(m_attributes.size()); }
    // Null when index >= GetAttributeCount().
    const CXMLAttribute* GetAttributeAt(unsigned index) const;

    // Occurrences count from 1; attribute pointers stay valid until the next
    // AddAttribute on this node.
    CXMLAttribute* GetAttribute(const String& name, unsigned occurrence = 1);
    const CXMLAttribute* GetAttribute(const String& name, unsigned occurrence = 1) const;
    String GetAttributeString(const String& name, unsigned occurrence = 1) const;
    int GetAttributeInt(const String& name, unsigned occurrence = 1) const;
    float GetAttributeFloat(const String& name, unsigned occurrence = 1) const;
    double GetAttributeDouble(const String& name, unsigned occurrence = 1) const;
    // False when absent; lowers the stored value as AsBool does.
    bool GetAttributeBool(const String& name, unsigned occurrence = 1) const;

private:
    // Deep-copies `source`'s contents into this childless node.
    void CopyContents(const CXMLNode& source);
    void DestroyChildren() noexcept;

    String m_name;
    String m_text;
    std::vector<CXMLAttribute> m_attributes;
    // Held through pointers so that a child's address, and with it every
    // grandchild's parent link, survives the growth of this array.
    std::vector<std::unique_ptr<CXMLNode>> m_children;
    CXMLNode* m_parent = nullptr;
};

// The root element of the parsed file becomes the document node itself; the
// root's own attributes are not kept.
class CXMLDocument : public CXMLNode
{
public:
    // Data files are tens of elements; this leaves room for generated ones
    // while keeping a hostile file from taking all memory.
    static constexpr uint64_t kMaxFileBytes = 64u << 20;

    // False when the file cannot be opened or read, is not a regular file or
    // is larger than kMaxFileBytes; the tree is then untouched.
    bool Load(const String& path);
    // Parses zero-terminated text. False on malformed, truncated or empty
    // input, with the tree holding what was built up to the error.
    bool Parse(const char* text);
};
