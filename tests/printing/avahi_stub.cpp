// SPDX-License-Identifier: MIT
// Preloaded into ippeveprinter, which will not start without DNS-SD: a
// client that is always there and service groups that publish nothing, so
// that the tests need no avahi daemon.
#include <avahi-client/client.h>
#include <avahi-client/publish.h>

namespace {
int g_object; // what the client and the groups point at
} // namespace

extern "C" {
AvahiClient *avahi_client_new(const AvahiPoll *, AvahiClientFlags, AvahiClientCallback, void *, int *error)
{
    if (error != nullptr)
        *error = 0;
    return reinterpret_cast<AvahiClient *>(&g_object);
}
void avahi_client_free(AvahiClient *) {}
int avahi_client_errno(AvahiClient *) { return 0; }
const char *avahi_client_get_host_name_fqdn(AvahiClient *) { return "localhost"; }
AvahiEntryGroup *avahi_entry_group_new(AvahiClient *, AvahiEntryGroupCallback, void *)
{
    return reinterpret_cast<AvahiEntryGroup *>(&g_object);
}
int avahi_entry_group_free(AvahiEntryGroup *) { return 0; }
int avahi_entry_group_commit(AvahiEntryGroup *) { return 0; }
int avahi_entry_group_reset(AvahiEntryGroup *) { return 0; }
int avahi_entry_group_add_service_strlst(AvahiEntryGroup *, AvahiIfIndex, AvahiProtocol, AvahiPublishFlags, const char *,
                                         const char *, const char *, const char *, uint16_t, AvahiStringList *) { return 0; }
int avahi_entry_group_add_service_subtype(AvahiEntryGroup *, AvahiIfIndex, AvahiProtocol, AvahiPublishFlags, const char *,
                                          const char *, const char *, const char *) { return 0; }
} // extern "C"
