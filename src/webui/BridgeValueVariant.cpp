#include "BridgeValueVariant.h"

namespace quorin {

GVariant* toGVariant(const BridgeValue& value)
{
    switch (value.kind()) {
    case BridgeValue::Kind::Bool:
        return g_variant_new_boolean(value.asBool());
    case BridgeValue::Kind::Number:
        return g_variant_new_double(value.asNumber());
    case BridgeValue::Kind::String:
        return g_variant_new_string(value.asString().c_str());
    case BridgeValue::Kind::Array: {
        GVariantBuilder builder;
        g_variant_builder_init(&builder, G_VARIANT_TYPE("av"));
        for (const auto& element : value.asArray())
            g_variant_builder_add(&builder, "v", toGVariant(element));
        return g_variant_builder_end(&builder);
    }
    case BridgeValue::Kind::Object: {
        GVariantBuilder builder;
        g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
        for (const auto& [key, member] : value.asObject())
            g_variant_builder_add(&builder, "{sv}", key.c_str(), toGVariant(member));
        return g_variant_builder_end(&builder);
    }
    case BridgeValue::Kind::Null:
        break;
    }
    return g_variant_new_maybe(G_VARIANT_TYPE_VARIANT, nullptr);
}

} // namespace quorin
