// XML documents, read from a file as every data file is, then walked with
// the typed attribute reads.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "core/XML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::MemoryFile file;
    CXMLDocument document;
    if (!document.Load(file.Put(data, size).c_str()))
        return 0;
    // Breadth first through a list, as the tree may be deep.
    std::vector<const CXMLNode*> nodes{&document};
    for (size_t i = 0; i < nodes.size(); ++i)
    {
        const CXMLNode* node = nodes[i];
        for (unsigned a = 0; a < node->GetAttributeCount(); ++a)
        {
            const CXMLAttribute* attribute = node->GetAttributeAt(a);
            (void)attribute->AsInt();
            (void)attribute->AsFloat();
            (void)attribute->AsBool();
            (void)node->GetAttributeDouble(attribute->GetName());
        }
        for (unsigned c = 0; c < node->GetChildCount(); ++c)
            nodes.push_back(node->GetChild(c));
    }
    return 0;
}
