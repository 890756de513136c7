// Uses the installed library the way a feature library of the suite would:
// a chunked record, a cross-reference and a change notification.

#include <cstdio>
#include <cstring>

#include "pemar/pemar.h"

namespace {

class Listener : public pemar::INotificationReceiver {
 public:
  void NotifyChange(pemar::ChangeWhat what, const char* text, void*) override {
    if (what == pemar::UtilityAdded && text &&
        std::strcmp(text, "Steam") == 0) {
      ++heard;
    }
  }
  int heard = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* path = argv[1];
  {
    pemar::BinaryFile raw{pemar::Text(path)};
    if (!raw.Create()) return 1;
    pemar::PemarBinaryFile file(&raw);
    pemar::ChunkHeader* h = nullptr;
    pemar::CVString name("Consumer record");
    bool ok = file.CreateChunk(&h, 4) && pemar::WriteCVString(&file, &name) &&
              file.Write(42L);
    ok = file.CloseChunk(h) && ok;
    ok = pemar::StoreProjectPointer(raw, nullptr) && ok;
    if (!raw.Close() || !ok) return 1;
  }
  {
    pemar::PemarBinaryFile file(path);
    pemar::ChunkHeader* h = nullptr;
    pemar::CVString name;
    long value = 0;
    bool ok = file.OpenChunk(&h) && file.Revision(h) == 4 &&
              pemar::ReadCVString(&file, &name) && file.Read(value) &&
              value == 42 && name == "Consumer record";
    ok = file.CloseChunk(h) && ok;
    if (!ok) return 1;
  }
  Listener listener;
  pemar::NotificationSender sender;
  sender.AddNotificationReceiver(&listener);
  sender.AddValidMessage(&listener, pemar::UtilityAdded);
  sender.SendAMessage(pemar::UtilityAdded, "Steam", nullptr);
  if (listener.heard != 1) return 1;
  std::printf("consumer: ok\n");
  return 0;
}
