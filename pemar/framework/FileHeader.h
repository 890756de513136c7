// FileHeader: the build numbers of a document file.
//
// Every saved document records the build number of the program that saved
// it and the lowest build number that may read it. A reader whose own build
// number is lower than the required one refuses the file.

#ifndef PEMAR_FRAMEWORK_FILEHEADER_H_
#define PEMAR_FRAMEWORK_FILEHEADER_H_

#include "pemar/framework/Export.h"

namespace pemar {

// The build number of this framework: written into every header it stores.
inline constexpr long kFrameworkBuildNumber = 2100;

class PEMAR_EXPORT FileHeader {
 public:
  FileHeader() = default;
  virtual ~FileHeader();

  // The lowest build number that may read the file. Written by the next
  // store; after a recall, the file's value.
  long RequiredBuildNumber() const { return required_build_; }
  void SetRequiredBuildNumber(long build) { required_build_ = build; }

  // The build number of the program that saved the file last recalled (even
  // when that recall failed after reading it; 0 when the header could not be
  // read at all), or of this framework after a store or before any recall.
  long BuildNumber() const { return build_; }

 protected:
  void SetBuildNumber(long build) { build_ = build; }

 private:
  long required_build_ = 0;
  long build_ = kFrameworkBuildNumber;
};

}  // namespace pemar

#endif  // PEMAR_FRAMEWORK_FILEHEADER_H_
