#pragma once
// qlark --xml FILE: a file loaded as the update check loads its information, shown as the
// tree the model holds and as the text its writer gives back.
#include <string>

int ShowXml(const std::string& utf8Path);
