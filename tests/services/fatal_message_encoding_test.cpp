// The GBK bytes of the fatal error messages are the texts their comments give in UTF-8.
#include "services/fatal_error.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <iconv.h>
#include <string>
#include <string_view>

namespace tavik {
namespace {

// Converted with iconv directly, so that this does not lean on the program's own codec.
std::string utf8_to_gbk(std::string_view utf8) {
    const iconv_t descriptor = iconv_open("CP936", "UTF-8");
    EXPECT_NE(descriptor, reinterpret_cast<iconv_t>(-1));
    std::string gbk(utf8.size() * 2, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    char* out = gbk.data();
    std::size_t out_left = gbk.size();
    const std::size_t result = iconv(descriptor, &in, &in_left, &out, &out_left);
    EXPECT_NE(result, static_cast<std::size_t>(-1)) << "errno " << errno;
    iconv_close(descriptor);
    gbk.resize(gbk.size() - out_left);
    return gbk;
}

TEST(FatalMessages, AreTheirTextsInGbk) {
    struct Case {
        const char* gbk;
        const char* utf8;
    };
    const Case cases[] = {
        {fatal_message::kIndexAboveCount, "数组成员引用下标超出定义范围"},
        {fatal_message::kIndexBelowOne, "数组成员引用下标必须大于等于1"},
        {fatal_message::kControlWindowNotLoaded, "未载入欲访问窗口组件所在的窗口"},
        {fatal_message::kControlMissing, "指定窗口尚未载入"},
        {fatal_message::kDescriptionUnreadable, "载入窗口模板数据段出错!"},
        {fatal_message::kStartWindowFailed, "载入启动窗口失败"},
        {fatal_message::kEventWindowUnknown, "未找到引发事件的窗口"},
        {fatal_message::kEventElementUnknown, "未找到引发事件的窗口组件"},
        {fatal_message::kEventElementInvalid, "引发事件的窗口组件无效"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.gbk, utf8_to_gbk(c.utf8)) << c.utf8;
    }
}

TEST(FatalMessages, TheBoxTextIsInGbk) {
    EXPECT_EQ(
        compose_fatal_error_text(fatal_message::kIndexAboveCount, 1),
        utf8_to_gbk(
            "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n"));
    EXPECT_EQ(out_of_memory_message(4096), utf8_to_gbk("分配 4096 字节内存失败!"));
}

} // namespace
} // namespace tavik
