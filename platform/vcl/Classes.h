// The base object of the class library and its event types. An event is a
// closure: a method bound to the object it runs on.
#pragma once

#include <functional>

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// Binds a method of an object into an event handler, as the class library's
// closures do: Closure(this, &TForm1::FormCreate).
template <class Owner, class... Args>
std::function<void(Args...)> Closure(Owner* object, void (Owner::*method)(Args...)) {
    return [object, method](Args... args) { (object->*method)(std::forward<Args>(args)...); };
}
