// The start-up baseline: the smallest Qt Widgets program with a window like the main window (same
// size, same kinds of controls, same texts and fonts) that fetches the version text with one
// libcurl GET before it shows the window. The start-up benchmark times it beside the real program.
#include "shell/account_list.h"

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <curl/curl.h>
#include <memory>
#include <string>

namespace {

std::string fetch(const char* url) {
    struct Deleter {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    const std::unique_ptr<CURL, Deleter> handle(curl_easy_init());
    std::string body;
    if (!handle) {
        return body;
    }
    const auto collect = +[](char* data, std::size_t size, std::size_t count, void* out) {
        static_cast<std::string*>(out)->append(data, size * count);
        return size * count;
    };
    if (curl_easy_setopt(handle.get(), CURLOPT_URL, url) != CURLE_OK ||
        curl_easy_setopt(handle.get(), CURLOPT_WRITEFUNCTION, collect) != CURLE_OK ||
        curl_easy_setopt(handle.get(), CURLOPT_WRITEDATA, &body) != CURLE_OK ||
        curl_easy_perform(handle.get()) != CURLE_OK) {
        body.clear();
    }
    return body;
}

QFont bold(const char* family) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(12);
    font.setBold(true);
    return font;
}

QLabel* label(const char* text, QWidget* parent, QRect geometry, QColor colour, const QFont* font) {
    auto* widget = new QLabel(QString::fromUtf8(text), parent);
    widget->setGeometry(geometry);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
    if (font != nullptr) {
        widget->setFont(*font);
    }
    return widget;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QFont kai = bold("AR PL UKai CN");
    const QFont hei = bold("Noto Sans CJK SC");
    const QColor grey(96, 96, 96);

    QWidget window;
    window.setWindowTitle(QString::fromUtf8("TavikLumrose软件1.0[电脑版]"));
    window.setFixedSize(286, 191);

    auto* box = new QGroupBox(QStringLiteral("Lumrose"), &window);
    box->setGeometry(8, 8, 264, 128);
    QPalette white = box->palette();
    white.setColor(QPalette::Window, Qt::white);
    box->setPalette(white);
    box->setAutoFillBackground(true);
    label("游戏ID：", box, {8, 24, 48, 24}, Qt::black, &kai);
    label("1.只支持4399平台，统一密码：k870913", box, {8, 48, 248, 24}, grey, &kai);
    label("2.游戏帐号随机获取，用户自行测试", box, {8, 72, 232, 24}, grey, &hei);
    label("3.请勿修改密码和非法使用，谢谢", box, {8, 96, 232, 24}, grey, &hei);
    auto* field = new QLineEdit(box);
    field->setGeometry(64, 24, 88, 24);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignCenter);
    auto* button = new QPushButton(QString::fromUtf8("一键获取"), box);
    button->setGeometry(168, 24, 80, 24);

    label("友情连接：Pondly下载站", &window, {8, 136, 136, 24}, Qt::black, nullptr);
    auto* version = new QLabel(QString::fromUtf8("标签"), &window);
    version->setGeometry(136, 200, 72, 24);
    auto* accounts = new QPlainTextEdit(&window);
    accounts->setGeometry(24, 224, 96, 24);
    accounts->setPlainText(QString::fromLatin1(tavik::account_list().data(),
                                               static_cast<qsizetype>(tavik::account_list().size()))
                               .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    version->setText(QString::fromStdString(fetch(STARTUP_BASELINE_VERSION_ADDRESS)));
    window.show();
    return QApplication::exec();
}
