// Any bytes as lang.ini: read values, load the catalogue, look messages up.
#include <string>

#include "FuzzSupport.h"
#include "lang/LangFunctions.h"
#include "lang/ProfileFile.h"
#include "store/AppPath.h"

namespace {

using namespace keyrack;

const char* const kLanguages[] = {"ENGLISH", "FRENCH",     "GERMAN",    "ITALIAN", "SPANISH",
                                  "DUTCH",   "PORTUGUESE", "NORWEGIAN", "KLINGON"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::uint8_t choice = input.Byte();
    const int bufferSize = input.Byte();
    const std::string text = input.Rest();
    const std::string folder = fuzz::ScratchFolder();
    const std::string path = folder + "/lang.ini";
    fuzz::WriteFile(path, text);

    const std::string value = ReadIniValue("Messages", "number", path, bufferSize);
    fuzz::Check(bufferSize > 0 || value.empty(), "no room gives nothing");
    ReadIniValue(text.substr(0, 8), text.substr(text.size() / 2, 8), path);

    UseAppFolder(folder);
    LangFunctions::ResetCatalogue();
    LangFunctions::CurrentLanguage = kLanguages[choice % std::size(kLanguages)];
    LangFunctions::LoadMessages();
    for (int number : {-1, 0, 1, 2, 58, 100, 101}) {
        const std::string message = LangFunctions::GetMessage(number);
        fuzz::Check(number >= 0 || message.empty(), "a number below 0 gives nothing");
        fuzz::Check(number <= 100 || message.empty(), "a number above 100 gives nothing");
    }
    UseAppFolder("");
    return 0;
}
