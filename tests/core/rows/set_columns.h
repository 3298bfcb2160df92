// Sets the columns of a trigger through the setters of its row adapter, as the trigger window
// does, from a text "Column=value;Column=value" (values may hold commas). Besides the list
// columns it knows the mode values of a transfer and the data list, stream source and source
// kind of a stream.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "core/rows/kind_infos.h"

namespace row_test {

using core::rows::TriggerInfo;
using ColumnSetter = std::function<int(TriggerInfo&, std::string)>;

// A setter of one kind's adapter.
template <typename Info, int (Info::*set)(std::string)>
int KindSetter(TriggerInfo& adapter, std::string text) {
  return (dynamic_cast<Info&>(adapter).*set)(std::move(text));
}

inline const std::map<std::string, ColumnSetter>& ColumnSetters() {
  using core::rows::StreamTriggerInfo;
  using core::rows::TransferTriggerInfo;
  static const std::map<std::string, ColumnSetter> setters = {
      {"Number", &TriggerInfo::SetNumber},
      {"Name", &TriggerInfo::SetName},
      {"Destination", &TriggerInfo::SetDestination},
      {"Size", &TriggerInfo::SetSize},
      {"DstMode", &TriggerInfo::SetDstMode},
      {"Source", &TriggerInfo::SetSource},
      {"SrcMode", &TriggerInfo::SetSrcMode},
      {"Mask", &TriggerInfo::SetMask},
      {"Count", &TriggerInfo::SetCount},
      {"Cycle", &TriggerInfo::SetCycle},
      {"Wait", &TriggerInfo::SetWait},
      {"DstModeValue", KindSetter<TransferTriggerInfo, &TransferTriggerInfo::SetDstModeValue>},
      {"SrcModeValue", KindSetter<TransferTriggerInfo, &TransferTriggerInfo::SetSrcModeValue>},
      {"DataList", KindSetter<StreamTriggerInfo, &StreamTriggerInfo::SetDataList>},
      {"StreamSource", KindSetter<StreamTriggerInfo, &StreamTriggerInfo::SetStreamSource>},
      {"SourceKind", KindSetter<StreamTriggerInfo, &StreamTriggerInfo::SetSourceKind>}};
  return setters;
}

// Every setter must accept its value.
inline void SetColumns(TriggerInfo& adapter, const std::string& columns) {
  size_t start = 0;
  while (start < columns.size()) {
    const size_t end = std::min(columns.find(';', start), columns.size());
    const std::string column = columns.substr(start, end - start);
    const size_t equals = column.find('=');
    const std::string name = column.substr(0, equals);
    ASSERT_EQ(ColumnSetters().count(name), 1u) << name;
    EXPECT_EQ(ColumnSetters().at(name)(adapter, column.substr(equals + 1)), 0) << column;
    start = end + 1;
  }
}

}  // namespace row_test
