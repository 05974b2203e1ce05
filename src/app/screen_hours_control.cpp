// Outside the screen's hours: the run holds, the screen goes dark, the display is
// powered down and the screen saver may have it; at their start all comes back.
#include "app/form2.h"

#include "browse/rotation.h"
#include "browse/showing_hours.h"
#include "browse/web_browser.h"
#include "platform/display_power.h"
#include "platform/screen_keeper.h"
#include "platform/service_notifier.h"
#include "steer/screen_hours.h"

void form2::followScreenHours()
{
    const auto hours = ShowingHours::read(platform_.options.screenHours);
    if (platform_.options.screenHours.isEmpty() || !hours)
        return;
    screenHours_ = std::make_unique<ScreenHours>(*hours, platform_.clock);
    connect(screenHours_.get(), &ScreenHours::darkChanged, this, &form2::setScreenDark);
    screenHours_->start();
}

void form2::setScreenDark(bool dark)
{
    rotation_->setDark(dark);
    WebBrowser1->setDark(dark);
    ScreenKeeper* keeper = platform_.options.keepScreenOn ? platform_.screenKeeper : nullptr;
    // Let go before powering down: a held screen saver holds the display's power too.
    if (dark && keeper)
        keeper->release();
    if (platform_.displayPower)
        platform_.displayPower->setPowered(!dark);
    if (!dark && keeper && screenAwakeWanted_)
        keeper->hold();
    if (platform_.service)
        platform_.service->darkUntil(dark ? screenHours_->nextStart() : QString());
}
