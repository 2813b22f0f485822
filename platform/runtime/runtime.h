#pragma once
// The object runtime: classes looked up by name, methods found by selector
// ("trackReceivedMessage:") and typed message sends.
//
// A method is a callable R(Id self, Args...). A send names the signature it
// expects through its argument and result types; a send whose signature
// differs from the method's is a programming error and stops the program with
// a message naming class and selector, as does a selector nobody implements.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

#include "platform/runtime/object.h"

namespace platform {

[[noreturn]] void fatal(std::string_view message);
std::string demangledName(const std::type_info& type);

class Method {
 public:
  template <class R, class... A>
  explicit Method(std::function<R(Id, A...)> implementation)
      : holder_(std::make_shared<Holder<R(Id, A...)>>(std::move(implementation))) {}

  // The implementation when it has exactly this signature, else nullptr.
  template <class Signature>
  const std::function<Signature>* as() const {
    if (holder_->signature() != typeid(Signature)) return nullptr;
    return &static_cast<const Holder<Signature>&>(*holder_).function;
  }
  const std::type_info& signature() const { return holder_->signature(); }

 private:
  struct AnyHolder {
    virtual ~AnyHolder() = default;
    virtual const std::type_info& signature() const = 0;
  };
  template <class Signature>
  struct Holder : AnyHolder {
    explicit Holder(std::function<Signature> f) : function(std::move(f)) {}
    const std::type_info& signature() const override { return typeid(Signature); }
    std::function<Signature> function;
  };
  std::shared_ptr<const AnyHolder> holder_;
};

using ClassRef = std::shared_ptr<Class>;

namespace detail {
template <std::size_t N, class... A>
struct InitWithIds {
  using type = typename InitWithIds<N - 1, Id, A...>::type;
};
template <class... A>
struct InitWithIds<0, A...> {
  using type = std::function<Id(Id, A...)>;
};
}  // namespace detail

// An initialiser whose N parts are all objects: Id(Id self, Id, …, Id).
template <std::size_t N>
using InitWithIds = typename detail::InitWithIds<N>::type;

// A class is itself an object: its class methods live in its metaclass.
class Class : public Object {
 public:
  // Use Runtime::defineClass.
  Class(std::string name, ClassRef superclass, bool isMetaclass = false);

  const std::string& name() const { return name_; }
  const ClassRef& superclass() const { return superclass_; }
  Class& metaclass() { return *metaclass_; }

  template <class R, class... A, class F>
  void addMethod(std::string_view selector, F&& implementation) {
    setMethod(selector, Method(std::function<R(Id, A...)>(std::forward<F>(implementation))));
  }
  template <class R, class... A, class F>
  void addClassMethod(std::string_view selector, F&& implementation) {
    metaclass_->addMethod<R, A...>(selector, std::forward<F>(implementation));
  }

  // The method answering selector for instances, searched up the superclasses.
  const Method* findMethod(std::string_view selector) const;
  void setMethod(std::string_view selector, Method method);

 private:
  std::string name_;
  ClassRef superclass_;
  std::shared_ptr<Class> metaclass_;
  mutable std::mutex mutex_;
  std::map<std::string, Method, std::less<>> methods_;
};

class Runtime {
 public:
  Runtime();
  // Defines a class; its superclass must exist (an empty name: a root class).
  // Defining a name twice is a programming error.
  ClassRef defineClass(std::string_view name, std::string_view superclassName = "NSObject");
  // The class of that name, or nullptr when the process has none.
  ClassRef lookUpClass(std::string_view name) const;
  // A plain instance of a class.
  static Id createInstance(const ClassRef& cls);

 private:
  mutable std::mutex mutex_;
  std::map<std::string, ClassRef, std::less<>> classes_;
};

bool respondsToSelector(const Id& receiver, std::string_view selector);
std::string className(const Id& receiver);

[[noreturn]] void unrecognizedSelector(const Id& receiver, std::string_view selector);
[[noreturn]] void wrongSignature(const Id& receiver, std::string_view selector,
                                 const std::type_info& sent, const std::type_info& implemented);

// Sends selector to receiver with the signature R(Id, A...). A nil receiver
// answers a zero value, as on the phone.
template <class R = void, class... A>
R send(const Id& receiver, std::string_view selector, A... args) {
  if (!receiver) return R();
  const Method* method = receiver->isa()->findMethod(selector);
  if (!method) unrecognizedSelector(receiver, selector);
  const auto* function = method->as<R(Id, A...)>();
  if (!function) wrongSignature(receiver, selector, typeid(R(Id, A...)), method->signature());
  return (*function)(receiver, std::move(args)...);
}

}  // namespace platform
