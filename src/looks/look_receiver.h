#pragma once

#include "looks/look_request.h"
#include "platform/notifier.h"

#include <QObject>

#include <functional>

// Applies published looks in a part's process: the stored one at creation if it is newer than
// the last one applied, then each posted one that is newer still. The same request is applied
// once, whichever way it arrives first.
class LookReceiver : public QObject
{
    Q_OBJECT
public:
    using Apply = std::function<void(const LookRequest&)>;
    explicit LookReceiver(Apply apply, QObject* parent = nullptr);

    // Stamp of the last request this part applied; 0 when none.
    static double lastStamp();

private:
    void offer(const LookRequest& request);
    Apply m_apply;
    NoticeToken m_token;
};
