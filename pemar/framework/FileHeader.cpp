#include "pemar/framework/FileHeader.h"

namespace pemar {

FileHeader::~FileHeader() = default;

}  // namespace pemar
