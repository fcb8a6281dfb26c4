// A message of the mediator as a listener gets it. Each number is declared once with the type of what
// it carries (NE_MESSAGE), so a post with another payload type does not compile, and a listener reads
// the payload back only as that type.
#pragma once

#include <type_traits>

// What message Number carries: `using Payload = ...`, void for nothing. Specialised by NE_MESSAGE only;
// a number without one cannot be posted.
template <unsigned int Number>
struct nE_MessageType;

template <unsigned int Number>
using nE_MessagePayload = typename nE_MessageType<Number>::Payload;

// Declares message NAME: its number and the type its payload points to. A number declared twice does not
// compile.
#define NE_MESSAGE(NAME, NUMBER, PAYLOAD) \
    constexpr unsigned int NAME = NUMBER; \
    template <>                           \
    struct nE_MessageType<NUMBER> {       \
        using Payload = PAYLOAD;          \
    }

class nE_Message {
public:
    nE_Message(unsigned int number, void* payload) : number(number), payload_(payload) {}

    // The payload when this is message Number (and the poster gave one), else none.
    template <unsigned int Number>
    nE_MessagePayload<Number>* payload() const {
        static_assert(!std::is_void<nE_MessagePayload<Number>>::value, "the message carries nothing");
        return number == Number ? static_cast<nE_MessagePayload<Number>*>(payload_) : nullptr;
    }

    const unsigned int number;

private:
    void* payload_;
};
