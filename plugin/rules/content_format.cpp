#include "plugin/rules/content_format.h"

#include "plugin/rules/cabinet_io.h"
#include "plugin/rules/text_values.h"

namespace sorvane {

bool ContentFormat::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    ASExtraTable &x = cabinets();
    x.cabinetPutInt(cab, "MaxTextLength", maxTextLength);
    x.cabinetPutInt(cab, "CaseStyle", caseStyle);
    writeTextValue(prefixText, "PrefixText", cab);
    writeTextValue(suffixText, "SuffixText", cab);
    x.cabinetPutBool(cab, "SkipDupLabels", skipDupLabels);
    x.cabinetPutBool(cab, "RemoveDupSpaces", removeDupSpaces);
    x.cabinetPutBool(cab, "RemoveLineChangeDefis", removeLineChangeDefis);
    x.cabinetPutInt(cab, "LeadingNumbers", leadingNumbers);
    x.cabinetPutInt(cab, "LeadingType", leadingType);
  });
}

bool ContentFormat::read(std::string_view key, CabinetHandle parent) {
  ASExtraTable &x = cabinets();
  CabinetHandle cab = x.cabinetGetCabinet(parent, key);
  if (!cab) {
    reset();
    return false;
  }
  maxTextLength = x.cabinetGetInt(cab, "MaxTextLength", 128);
  caseStyle = x.cabinetGetInt(cab, "CaseStyle", 0);
  prefixText = readTextValue("PrefixText", cab);
  suffixText = readTextValue("SuffixText", cab);
  skipDupLabels = x.cabinetGetBool(cab, "SkipDupLabels", false);
  removeDupSpaces = x.cabinetGetBool(cab, "RemoveDupSpaces", true);
  removeLineChangeDefis = x.cabinetGetBool(cab, "RemoveLineChangeDefis", true);
  leadingNumbers = x.cabinetGetInt(cab, "LeadingNumbers", 0);
  leadingType = x.cabinetGetInt(cab, "LeadingType", 0);
  return true;
}

} // namespace sorvane
