import flash.external.ExternalInterface;

// The end-to-end test's movie: tells the page it runs, with two of its start parameters.
class Main {
    static function main() {
        var parameters:Dynamic = flash.Lib.current.loaderInfo.parameters;
        ExternalInterface.call("quorinGameEvent", "started", parameters.user + " " + parameters.locale);
    }
}
