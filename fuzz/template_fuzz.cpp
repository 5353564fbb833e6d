// libFuzzer target of the room label and card templates ".UA" and the
// schedule templates ".OA" with the definitions they name: the input's
// first file (see fuzz_support.h for the split) is written as "T.UA" and
// "T.OA", the next ones as the definitions the template names, in its
// order (label, card, row, total; for a schedule table, row, total), and
// each definition is run as the room and schedule code places it. Seeded
// with the shipped templates and their definitions.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/object_pipeline.h"
#include "rooms/labels/label_templates.h"
#include "rooms/schedules/schedule_context.h"
#include "settings/settings_module.h"

namespace {

// A name the target may write as a file of its folder.
bool PlainName(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-')) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz::NextInput()) RegisterObjectRecordApps();
    const std::vector<std::string_view> files = fuzz::SplitFiles(fuzz::AsText(data, size), 5);
    fuzz::WriteSupportFile("T.UA", files[0]);
    fuzz::WriteSupportFile("T.OA", files[0]);

    std::vector<std::string> names;
    LabelTemplate label;
    if (ReadUaFile("T", label) == 1) {
        names = {label.labelBlock, label.cardBlock, label.rowBlock, label.totalBlock};
    } else {
        CABACHI schedule;
        schedule.templateName = "T";
        if (schedule.ReadOaFile() == 1) names = {schedule.tableName, schedule.rowName, schedule.totalName};
    }
    for (std::size_t i = 0; i < names.size() && i + 1 < files.size(); ++i) {
        if (!PlainName(names[i]) || names[i] == "T") continue;
        const std::string file = names[i] + ".txt";
        fuzz::WriteSupportFile(file, files[i + 1]);
        fuzz::RunDefinition(names[i], true);
        std::remove((fuzz::SupportFolder() + file).c_str());
    }
    return 0;
}
