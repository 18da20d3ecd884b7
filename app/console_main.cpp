// brenvik-console: the product. It takes no options and talks to the units on their own ports.
#include "app/console_application.h"
#include "app/console_pages.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
    auto application = brenvik::MakeConsoleApplication(argc, argv);
    brenvik::CVARNOLUX_16_VIEWDlg window({brenvik::Endpoints{}, brenvik::PrimaryScreenScale(), nullptr});
    brenvik::RegisterConsolePages(window);
    window.exec();
    return 0;
}
