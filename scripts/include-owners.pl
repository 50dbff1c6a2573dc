# The include check's reader (scripts/check-includes.sh sets the table in the environment): reads
# file names on standard input and prints every include that leaves the allowed libraries, does
# not resolve, or lies in a folder or file the table does not know. Exits 1 after any.
use strict;
use warnings;

my (%library, %uses);
for my $row (grep { /\S/ } split /\n/, $ENV{table}) {
    my ($folder, $name, @allowed) = split ' ', $row;
    $library{$folder} = $name;
    $uses{$folder} = { map { $_ => 1 } grep { $_ ne '-' } @allowed };
}
# A library's tests: the library, what it may use and those libraries' test helpers, and the
# test kit.
for my $folder (grep { m{^src/} } keys %library) {
    my $name = $library{$folder};
    my @used = keys %{ $uses{$folder} };
    $library{"tests/$name"} = "tests of $name";
    $uses{"tests/$name"} = { map({ $_ => 1, "tests of $_" => 1 } @used), $name => 1, support => 1 };
}
my %extraRoots = map { split ' ' } grep { /\S/ } split /\n/, $ENV{extra_roots_list};
my @roots = split ' ', $ENV{roots};
my $failed = 0;

sub refuse { print STDERR "$_[0]\n"; $failed = 1; }

# The table's folder a path lies in (the longest that holds it).
sub folderOf {
    my ($path) = @_;
    my ($best) = sort { length $b <=> length $a } grep { index("$path/", "$_/") == 0 } keys %library;
    return $best;
}

sub normalized {
    my @parts;
    for (split m{/}, $_[0]) {
        next if $_ eq '' || $_ eq '.';
        if ($_ eq '..') { return undef unless @parts; pop @parts; } else { push @parts, $_; }
    }
    return join '/', @parts;
}

sub resolve {
    my ($file, $name, $quoted) = @_;
    (my $here = $file) =~ s{/[^/]*$}{};
    my @places = $quoted ? ($here) : ();
    push @places, @roots;
    push @places, $extraRoots{ folderOf($file) // '' } // ();
    for my $place (@places) {
        my $path = normalized("$place/$name");
        return $path if defined $path && -f $path;
    }
    return undef;
}

sub checkInclude {
    my ($file, $line, $quote, $name) = @_;
    my $quoted = $quote eq '"';
    my $path = resolve($file, $name, $quoted);
    if (!defined $path) {
        refuse("$file:$line: \"$name\" names no file of ours") if $quoted && $name !~ /^(?:$ENV{generated})$/;
        return;
    }
    my ($from, $to) = (folderOf($file), folderOf($path));
    return if defined $to && $library{$to} eq $library{$from};
    my $target = defined $to ? $library{$to} : $path;
    refuse("$file:$line: $from may not include $target ($path)") unless defined $to && $uses{$from}{$target};
}

sub checkFile {
    my ($file) = @_;
    my ($extension) = $file =~ m{\.([^./]+)$};
    if (!defined $extension || $extension !~ /^(?:$ENV{sources}|$ENV{other_files})$/) {
        refuse("$file: a kind of file the include check does not know");
        return;
    }
    return unless $extension =~ /^(?:$ENV{sources})$/;
    if (!defined folderOf($file)) {
        refuse("$file: a folder the include check's table does not know");
        return;
    }
    open(my $in, '<', $file) or die "$file: $!\n";
    while (my $text = <$in>) {
        checkInclude($file, $., $1, $2) if $text =~ /^\s*#\s*include\s*([<"])([^>"]+)[>"]/;
    }
    close $in;
}

while (my $file = <STDIN>) {
    chomp $file;
    checkFile($file);
}
exit $failed;
