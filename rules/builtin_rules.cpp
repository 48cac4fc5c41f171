#include "rules/builtin_rules.h"

namespace korvalin {

const char kBuiltInRulesDocument[] =
    R"json({"regPath":[{"title":"桌面","name":"Desktop","root":3,"moveFiles":true,"path":"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},{"title":"我的文档","name":"Personal","root":3,"moveFiles":true,"path":"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},{"title":"下载","name":"{374DE290-123F-4565-9164-39C4925E467B}","root":3,"path":"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"}]})json";

const char kHeaderRowTitle[] =
    "旧盘桌面积尘多\r\n"
    "文档下载挤一窝\r\n"
    "择得新处安家去\r\n"
    "重装系统也不怕\r\n"
    "一键迁移乐呵呵";

const char kHeaderRowName[] = "shellpaths";

}  // namespace korvalin
