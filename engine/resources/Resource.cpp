// Base of every named, loadable resource. Everything but the destructor is
// inline; defining it here gives the class one home for its virtual table.
#include "resources/Resource.h"

CResource::~CResource() = default;
