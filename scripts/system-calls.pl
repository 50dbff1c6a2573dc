# Prints FILE:LINE: NAME for every call, in the files named on standard input (one a line), to
# one of the functions named in the arguments. The source text is read with its comments and its
# string and character literals blanked (line numbers kept). A call is the name and "(", unless
# it is a member (file.open(, p->kill(, QProcess::kill(), a declaration (bool open(), or, for a
# function that takes arguments, a member called without any (close()). "::open(" is the
# system's.
use strict;
use warnings;

my %noArguments = map { $_ => 1 } qw(fork vfork getpid getppid getuid geteuid getgid getegid setsid pause sync);
my $names = join '|', @ARGV;
my $keyword = qr/^(?:return|else|do|case|throw|co_return|co_await|co_yield|not|and|or)$/;

sub sourceText {
    my ($text) = @_;
    $text =~ s{
        //[^\n]* | /\*.*?\*/ | R"([^(\s]{0,16})\(.*?\)\1" | "(?:\\.|[^"\\\n])*" | '(?:\\.|[^'\\\n])+'
    }{ my $m = $&; $m =~ s/[^\n]/ /g; $m }gsex;
    return $text;
}

sub isCall {
    my ($before, $name, $empty) = @_;
    return 0 if $before =~ /(?:\.|->)\s*$/;
    return 0 if $before =~ /\w::\s*$/;
    return 0 if $before =~ /(\w+)\s+$/ && $1 !~ $keyword;
    return 0 if $before =~ /[*&>]\s*$/ && $before !~ /->\s*$/;
    return 0 if defined $empty && !$noArguments{$name};
    return 1;
}

while (my $file = <STDIN>) {
    chomp $file;
    open(my $in, '<', $file) or die "$file: $!\n";
    my $text = sourceText(do { local $/; <$in> });
    close $in;
    my $number = 0;
    for my $line (split /\n/, $text) {
        ++$number;
        while ($line =~ /\b($names)\s*\((\s*\))?/g) {
            print "$file:$number: $1\n" if isCall(substr($line, 0, $-[0]), $1, $2);
        }
    }
}
