#pragma once
// Host objects: reference-counted handles to instances of runtime classes.
// An empty handle is nil; sending to nil does nothing and yields a zero value.
#include <memory>

namespace platform {

class Class;
class Object;
using Id = std::shared_ptr<Object>;

class Object : public std::enable_shared_from_this<Object> {
 public:
  explicit Object(const Class* isa) : isa_(isa) {}
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // The class that answers messages sent to this object.
  const Class* isa() const { return isa_; }
  Id self() { return shared_from_this(); }

 protected:
  void setIsa(const Class* isa) { isa_ = isa; }

 private:
  const Class* isa_;
};

// The object behind a handle as the C++ type its class was built with.
// Host classes use it inside their own method implementations only.
template <class T>
T& as(const Id& object) {
  return static_cast<T&>(*object);
}

}  // namespace platform
