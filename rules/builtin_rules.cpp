#include "rules/builtin_rules.h"

namespace korvalin {

const char kBuiltInRulesDocument[] =
    R"json({"regPath":[{"title":"桌面","name":"Desktop","root":3,"moveFiles":true,"path":"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},{"title":"我的文档","name":"Personal","root":3,"moveFiles":true,"path":"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},{"title":"下载","name":"{374DE290-123F-4565-9164-39C4925E467B}","root":3,"path":"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"}]})json";

}  // namespace korvalin
