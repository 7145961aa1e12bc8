#!/usr/bin/perl
# A tiny country database for the tests, in the MaxMind DB format, made with MaxMind's own
# writer (Debian's libmaxmind-db-writer-perl):
#   make_test_mmdb.pl OUTPUT.mmdb
# 127.0.0.0/9 is Germany's, 127.128.0.0/10 Australia's, 127.192.0.0/11 Brazil's (in the
# GeoLite2 layout, country -> iso_code), and the rest of 127.0.0.0/8 names no country.
use strict;
use warnings;
use MaxMind::DB::Writer::Tree;

my %types = (country_code => 'utf8_string', country => 'map', iso_code => 'utf8_string');
my $tree = MaxMind::DB::Writer::Tree->new(
    ip_version            => 4,
    record_size           => 24,
    # Loopback is a reserved network, which the writer leaves out unless told.
    remove_reserved_networks => 0,
    database_type         => 'Quillmark-Test-Country',
    languages             => ['en'],
    description           => { en => 'Loopback countries for the tests' },
    map_key_type_callback => sub { $types{ $_[0] } },
);
$tree->insert_network('127.0.0.0/9',    { country_code => 'DE' });
$tree->insert_network('127.128.0.0/10', { country_code => 'AU' });
$tree->insert_network('127.192.0.0/11', { country => { iso_code => 'BR' } });
open my $out, '>:raw', $ARGV[0] or die "cannot write $ARGV[0]: $!";
$tree->write_tree($out);
close $out;
