#include "SkinTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "skin/BmpFile.h"

namespace skintest {

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

skin::Pixel Tagged(int x, int y, unsigned tag) {
    return skin::Rgb(static_cast<unsigned>(x), static_cast<unsigned>(y), tag);
}

skin::Bitmap TaggedBitmap(int width, int height, unsigned tag) {
    skin::Bitmap b(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.Set(x, y, Tagged(x, y, tag));
        }
    }
    return b;
}

skin::Bitmap Plain(int width, int height, skin::Pixel colour) {
    return skin::Bitmap(width, height, colour);
}

SkinFolder::SkinFolder(const std::string& folder) : folder_(folder) {
    using skin::Rgb;
    skin::Bitmap main = TaggedBitmap(120, 40, 1);
    main.Set(0, 0, skin::KeyColour);
    main.Set(119, 39, skin::KeyColour);
    skin::WriteBmp(main, folder + "main.bmp");
    skin::WriteBmp(TaggedBitmap(90, 60, 2), folder + "msg.bmp");
    const char* pictures[] = {"cnx_n",  "cnx_s",  "dis_n",   "dis_s",   "read_n",  "read_s",
                              "mail_n", "mail_s", "online",  "offline", "gotmail", "nomail",
                              "prev_n", "prev_s", "next_n",  "next_s",  "reply_n", "reply_s",
                              "del_n",  "del_s",  "close_n", "close_s"};
    unsigned tag = 10;
    for (const char* name : pictures) {
        skin::WriteBmp(Plain(8, 6, Rgb(tag, tag, 0)), folder + name + ".bmp");
        ++tag;
    }
    skin::WriteBmp(TaggedBitmap(58 * 4, 3 * 5 + 1, 3), folder + "font.bmp");
    skin::WriteBmp(TaggedBitmap(10 * 4, 6, 4), folder + "digits.bmp");
    Lines = {"skin_name = Test skin",
             "[background]",
             "main=main.bmp",
             "msgbkng=msg.bmp",
             "[connect]",
             "cnxbtnnormal=cnx_n.bmp",
             "cnxbtnselect=cnx_s.bmp",
             "position=1,2",
             "[disconnect]",
             "disbtnnormal=dis_n.bmp",
             "disbtnselect=dis_s.bmp",
             "position=11,2",
             "[readmsg]",
             "readbtnnormal=read_n.bmp",
             "readbtnselect=read_s.bmp",
             "position=21,2",
             "[mailclient]",
             "runmailnormal=mail_n.bmp",
             "runmailselect=mail_s.bmp",
             "position=31,2",
             "[online]",
             "onlinebmp=online.bmp",
             "notonlinebmp=offline.bmp",
             "position=41,2",
             "[youhavemail]",
             "gotmail=gotmail.bmp",
             "nomail=nomail.bmp",
             "position=51,2",
             "[nbmsg]",
             "nbmsgbmp=digits.bmp",
             "size=4,5",
             "position=61,2",
             "[status]",
             "fontbmp=font.bmp",
             "size=4,5",
             "position=2,20",
             "maxchar=20",
             "[memo_msgwindow]",
             "memo_x=5",
             "memo_y=6",
             "memo_width=70",
             "memo_height=30",
             "fontcolor=1,2,3",
             "fontname=Verdana",
             "fontstyle=bold",
             "fontsize=9",
             "prevbtnnormal=prev_n.bmp",
             "prevbtnselect=prev_s.bmp",
             "prevbtnpos=1,50",
             "nextbtnnormal=next_n.bmp",
             "nextbtnselect=next_s.bmp",
             "nextbtnpos=11,50",
             "replybtnnormal=reply_n.bmp",
             "replybtnselect=reply_s.bmp",
             "replybtnpos=21,50",
             "deletebtnnormal=del_n.bmp",
             "deletebtnselect=del_s.bmp",
             "deletebtnpos=31,50",
             "closebtnnormal=close_n.bmp",
             "closebtnselect=close_s.bmp",
             "closebtnpos=41,50"};
}

void SkinFolder::Write(const std::string& lineEnd) const {
    std::string content;
    for (const std::string& line : Lines) {
        content += line + lineEnd;
    }
    WriteFile(folder_ + "skin.ini", content);
}

void SkinFolder::Replace(const std::string& prefix, const std::string& line) {
    for (std::string& l : Lines) {
        if (l.rfind(prefix, 0) == 0) {
            l = line;
            return;
        }
    }
    throw std::logic_error("no line " + prefix);
}

void SkinFolder::Remove(const std::string& prefix) {
    for (auto it = Lines.begin(); it != Lines.end(); ++it) {
        if (it->rfind(prefix, 0) == 0) {
            Lines.erase(it);
            return;
        }
    }
    throw std::logic_error("no line " + prefix);
}

namespace {

class FakeTimer final : public platform::WindowTimer {
public:
    explicit FakeTimer(std::shared_ptr<FakeTimerHost::Slot> slot, const std::int64_t& now)
        : slot_(std::move(slot)), now_(now) {}
    ~FakeTimer() override { slot_->running = false; }
    FakeTimer(const FakeTimer&) = delete;
    FakeTimer& operator=(const FakeTimer&) = delete;
    void Start(std::uint32_t milliseconds) override {
        slot_->running = true;
        slot_->period = std::max<std::int64_t>(milliseconds, 1);
        slot_->due = now_ + slot_->period;
    }
    void Stop() override { slot_->running = false; }

private:
    std::shared_ptr<FakeTimerHost::Slot> slot_;
    const std::int64_t& now_;
};

}  // namespace

std::unique_ptr<platform::WindowTimer> FakeTimerHost::CreateTimer(std::function<void()> tick) {
    auto slot = std::make_shared<Slot>();
    slot->tick = std::move(tick);
    slots_.push_back(slot);
    return std::make_unique<FakeTimer>(slot, now_);
}

int FakeTimerHost::Advance(std::int64_t milliseconds) {
    const std::int64_t end = now_ + milliseconds;
    int ran = 0;
    for (;;) {
        std::shared_ptr<Slot> next;
        for (const auto& slot : slots_) {
            if (slot->running && slot->due <= end && (!next || slot->due < next->due)) {
                next = slot;
            }
        }
        if (!next) {
            break;
        }
        now_ = next->due;
        next->due += next->period;
        next->tick();
        ++ran;
    }
    now_ = end;
    return ran;
}

int FakeTimerHost::RunningTimers() const {
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(),
                                          [](const auto& slot) { return slot->running; }));
}

}  // namespace skintest
