// The report for a failure the program cannot continue from: an error box, then exit status -1.
#pragma once

#include "text.h"

#include <cstddef>
#include <cstdint>

namespace tavik {

// The messages the program reports, in GBK. The comment beside each is the same text in UTF-8.
namespace fatal_message {
// 数组成员引用下标超出定义范围
inline constexpr char kIndexAboveCount[] = "\xca\xfd\xd7\xe9\xb3\xc9\xd4\xb1\xd2\xfd\xd3\xc3\xcf"
                                           "\xc2\xb1\xea\xb3\xac\xb3\xf6\xb6\xa8\xd2\xe5"
                                           "\xb7\xb6\xce\xa7";
// 数组成员引用下标必须大于等于1
inline constexpr char kIndexBelowOne[] = "\xca\xfd\xd7\xe9\xb3\xc9\xd4\xb1\xd2\xfd\xd3\xc3\xcf\xc2"
                                         "\xb1\xea\xb1\xd8\xd0\xeb\xb4\xf3\xd3\xda"
                                         "\xb5\xc8\xd3\xda\x31";
// 未载入欲访问窗口组件所在的窗口
inline constexpr char kControlWindowNotLoaded[] = "\xce\xb4\xd4\xd8\xc8\xeb\xd3\xfb\xb7\xc3\xce\xca"
                                                  "\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xcb\xf9\xd4\xda"
                                                  "\xb5\xc4\xb4\xb0\xbf\xda";
// 指定窗口尚未载入
inline constexpr char kControlMissing[] =
    "\xd6\xb8\xb6\xa8\xb4\xb0\xbf\xda\xc9\xd0\xce\xb4\xd4\xd8\xc8\xeb";
// 载入窗口模板数据段出错!
inline constexpr char kDescriptionUnreadable[] =
    "\xd4\xd8\xc8\xeb\xb4\xb0\xbf\xda\xc4\xa3\xb0\xe5\xca\xfd\xbe\xdd\xb6\xce\xb3\xf6\xb4\xed\x21";
// 载入启动窗口失败
inline constexpr char kStartWindowFailed[] =
    "\xd4\xd8\xc8\xeb\xc6\xf4\xb6\xaf\xb4\xb0\xbf\xda\xca\xa7\xb0\xdc";
// 未找到引发事件的窗口
inline constexpr char kEventWindowUnknown[] =
    "\xce\xb4\xd5\xd2\xb5\xbd\xd2\xfd\xb7\xa2\xca\xc2\xbc\xfe\xb5\xc4\xb4\xb0\xbf\xda";
// 未找到引发事件的窗口组件
inline constexpr char kEventElementUnknown[] = "\xce\xb4\xd5\xd2\xb5\xbd\xd2\xfd\xb7\xa2\xca\xc2"
                                               "\xbc\xfe\xb5\xc4\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe";
// 引发事件的窗口组件无效
inline constexpr char kEventElementInvalid[] =
    "\xd2\xfd\xb7\xa2\xca\xc2\xbc\xfe\xb5\xc4\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xce\xde\xd0\xa7";
} // namespace fatal_message

// The codes that go with the messages above; 0 means there is no code to show.
namespace fatal_code {
inline constexpr std::int32_t kNone = 0;
inline constexpr std::int32_t kIndexAboveCount = 1;
inline constexpr std::int32_t kIndexBelowOne = 4;
} // namespace fatal_code

// The text of the error box: the heading, a code line when the code is not 0, a message line when
// the message is not empty.
Text compose_fatal_error_text(const Text& message, std::int32_t code);

// The message for memory that could not be had: 分配 <bytes> 字节内存失败!
Text out_of_memory_message(std::size_t bytes);

// Stops all events for good, shows the error box (title 错误, error icon, OK, no owner), then ends
// the process with -1 without running the exit routines.
[[noreturn]] void fatal_error_report(const Text& message, std::int32_t code);

[[noreturn]] void fatal_out_of_memory(std::size_t bytes);

} // namespace tavik
